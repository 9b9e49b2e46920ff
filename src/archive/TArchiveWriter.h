#pragma once

#include "archive/AtomicReplace.h"
#include "archive/TArchiveReader.h"
#include "archive/WriterFileList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Rebuilds an archive from its existing members and files on disk. The new archive is written
// beside the old one and renamed over it only when it is complete and on disk, so a failure at any
// point leaves the old archive as it was.
namespace archive {

class SourceArchive;

enum class TZipAction
{
    zaUpdate,  // replace a member only by a newer file; add new files
    zaReplace, // replace every member that has a file; add new files
    zaFreshen, // replace a member only by a newer file; add nothing
};

class TArchiveWriter : public TArchiveReader
{
public:
    TArchiveWriter();
    ~TArchiveWriter() override;

    int PackLevel = 6; // 0 stores, 1..9 deflate levels
    TZipAction ZipAction = TZipAction::zaUpdate;
    std::vector<std::string> ExcludeList;    // files never added
    std::vector<std::string> NoCompressList; // files stored without compression
    bool AddDirEntriesOnRecurse = false;
    bool IncludeHiddenFiles = false;
    bool IncludeSysFiles = false;
    bool IncludeReadOnlyFiles = true;
    bool IncludeArchiveFiles = true;
    // Hidden files (names beginning with '.') whose stored name matches one of these patterns are
    // added all the same; so is a hidden file that is the unpacked copy of a member.
    std::vector<std::string> HiddenIncludeList;
    // Writes every record in its Zip64 form even when the values are small, so that the large
    // archive path can be exercised without gigabytes of data.
    bool ForceZip64 = false;
    // Told about each file the list names but the update leaves out, and why.
    std::function<void(const std::string& path, const std::string& reason)> OnFileSkipped;
    // Members (by name, compared as member names are) that the new archive leaves out.
    std::vector<std::string> RemoveMembers;
    // When set, the update refuses an archive that is no longer this file.
    std::optional<FileIdentity> ExpectedArchive;
    // Receives every byte of the new archive in order while it is written.
    std::function<void(std::string_view)> OnArchiveBytes;
    // Called with the descriptor of the complete new archive before it replaces the old one;
    // throwing stops the replacement and leaves the old archive as it was.
    std::function<void(int fd)> BeforeReplace;

    // Settings that pull others along when they change.
    [[nodiscard]] bool Recurse() const { return m_recurse; }

    void SetRecurse(bool value) { m_recurse = value; }

    [[nodiscard]] bool StorePaths() const { return m_storePaths; }

    void SetStorePaths(bool value); // false also clears StoreVolumes and RelativePaths

    [[nodiscard]] bool RelativePaths() const { return m_relativePaths; }

    void SetRelativePaths(bool value); // true also sets StorePaths and Recurse

    [[nodiscard]] bool StoreVolumes() const { return m_storeVolumes; }

    void SetStoreVolumes(bool value); // true also sets StorePaths

    [[nodiscard]] const std::string& RootDir() const { return m_rootDir; }

    void SetRootDir(const std::string& value); // adds a trailing '/', becomes the RelativePathList

    [[nodiscard]] const std::vector<std::string>& RelativePathList() const { return m_relativePathList; }

    // The search attribute mask made of the Include settings.
    [[nodiscard]] std::uint32_t AttributeMask() const;

    // Rebuilds ZipName from its members and the files FilesList names (creating it when missing) and
    // returns the number of files compressed into it. FilesList is empty afterwards. Throws on any
    // failure; the archive is then unchanged and no temporary file is left.
    int UpdateArchive();

private:
    [[nodiscard]] WriterFileListOptions ListOptions() const;
    [[nodiscard]] std::filesystem::path PackagePath() const;
    int WriteArchive(const std::vector<std::string>& files,
                     const WriterFileListOptions& options,
                     const FileIdentity& before);
    // The steps of WriteArchive: each old member copied raw or replaced by its file, then the new
    // files appended, then the central directory and the end records.
    struct Build;
    void
    KeepOrReplaceMembers(Build& build, const SourceArchive* source, const std::filesystem::path& package);
    void AddNewFiles(Build& build);
    void WriteCentralDirectory(Build& build);
    void Compress(Build& build,
                  const std::string& file,
                  std::string storedName,
                  std::uint16_t nameFlags,
                  std::string comment);

    bool m_recurse = false;
    bool m_storePaths = false;
    bool m_relativePaths = false;
    bool m_storeVolumes = false;
    std::string m_rootDir;
    std::vector<std::string> m_relativePathList;
};

} // namespace archive
