#pragma once

#include "archive/TEndCentral.h"
#include "archive/TSortedZip.h"
#include "archive/TZipHeaderInfo.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a ZIP archive's directory and extracts its members, to a folder or to memory. One object
// reads one archive at a time; separate objects share nothing and may run on different threads.
namespace archive {

class ArchiveFile;
class DestinationFolder;

enum class TOverwriteMode
{
    Prompt,
    Always,
    Never,
    ifNewer,
    ifOlder,
};

enum class TIncompleteZipMode
{
    izAssumeMulti,
    izAssumeBad,
    izAssumeNotAZip,
};

// A selected member that produced no output, and why.
struct TSkippedMember
{
    std::string Name;
    std::string Reason;
    bool DataError = false; // CRC mismatch or size lie, as opposed to a policy skip
};

class TArchiveReader
{
public:
    TArchiveReader();
    virtual ~TArchiveReader();
    TArchiveReader(const TArchiveReader&) = delete;
    TArchiveReader& operator=(const TArchiveReader&) = delete;

    // Settings. Changing ZipName discards the loaded directory at the next operation.
    std::filesystem::path ZipName;
    std::filesystem::path DestDir;
    std::vector<std::string> FilesList; // patterns matched against member paths
    bool DoAll = false;
    bool RecreateDirs = false;
    bool RetainAttributes = true;
    TOverwriteMode OverwriteMode = TOverwriteMode::Prompt;
    bool ReplaceReadOnly = false;
    TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
    bool KeepZipOpen = false;
    bool DoProcessMessages = true; // call OnProgress during long work

    // Progress and cancel, called when DoProcessMessages is set: between directory records (counting
    // records), per member while selecting (0, 0), and before each input chunk while extracting
    // (counting bytes). Returning false stops the work with EUserCanceled.
    std::function<bool(std::uint64_t bytesDone, std::uint64_t bytesTotal)> OnProgress;
    // Asked "Replace existing file <name>?" under TOverwriteMode::Prompt; without it the answer is no.
    std::function<bool(const std::string& question)> OnOverwritePrompt;
    // Told about each selected member that produced no output.
    std::function<void(const TZipHeaderInfo& member, const std::string& reason)> OnSkip;

    // Reads the directory; a missing end record (not a ZIP, truncated) leaves the list empty instead of
    // throwing. Other failures clear the loaded state and propagate.
    void ReadDirectory();
    // The same read, but every failure throws: ENotAZipFile (EOle2Package for compound documents),
    // EIncompleteZip, EBadZipFile, EArchiveIoError.
    void OpenDirectory();

    // Members in archive order (ascending local header offset).
    [[nodiscard]] std::size_t Count() const;
    [[nodiscard]] const TZipHeaderInfo& Member(std::size_t i) const; // std::out_of_range when out of range

    [[nodiscard]] const TSortedZip& Members() const { return m_members; }

    [[nodiscard]] const TEndCentral& EndCentral() const { return m_endCentral; }

    // The file member named partName as packages compare part names: ASCII case-insensitive, '\'
    // counted as '/', a leading '/' ignored. Among several, the one with exactly that name, else the
    // last in archive order. Directory entries never match. Null when there is none.
    [[nodiscard]] const TZipHeaderInfo* FindMember(std::string_view partName) const;

    // The member's content. Throws EEncryptedMember, EUnsupportedMember, EBadCrc,
    // EBiggerThanUncompressed (past the declared size), EMemberTooLarge (past maxBytes),
    // EFatalUnzipError / EZCompressionError (truncated or corrupt data).
    std::string ExtractToMemory(const TZipHeaderInfo& member, std::uint64_t maxBytes);
    // The same decoding, handing the content to a sink in chunks.
    void ExtractToSink(const TZipHeaderInfo& member,
                       const std::function<void(const char* data, std::size_t size)>& sink,
                       std::uint64_t maxBytes);

    // Extracts the selected members to DestDir and returns the number extracted (files written plus
    // directory entries processed). Nothing is ever written outside DestDir.
    int ExtractMembers();

    // The members the last ExtractMembers skipped, with reasons.
    [[nodiscard]] const std::vector<TSkippedMember>& Skipped() const { return m_skipped; }

    // Closes the archive file (it stays open between operations only with KeepZipOpen).
    void CloseArchive();

    // The size of the file the last directory read opened, as its open descriptor gave it (also
    // when the read then failed); nothing when no file was opened.
    [[nodiscard]] std::optional<std::uint64_t> OpenedSize() const { return m_openedSize; }

protected:
    // The open archive, opened from ZipName when needed.
    ArchiveFile& OpenArchive();

    // Position of the member's data, read from its local header (fills LocalExtraLength).
    std::uint64_t DataOffset(TZipHeaderInfo& member);
    // Reports progress; throws EUserCanceled when the callback asks to stop.
    void CheckCancel(std::uint64_t bytesDone, std::uint64_t bytesTotal) const;
    // Forgets the loaded directory and closes the archive.
    void ClearDirectory();

private:
    void LoadDirectory(bool strict);
    void ReadCentralDirectory(ArchiveFile& file, const TEndCentral& end, TSortedZip& members, bool strict);
    bool DirectoryIsCurrent();
    bool ExtractOne(TZipHeaderInfo& member,
                    DestinationFolder& destination,
                    std::uint64_t& bytesDone,
                    std::uint64_t bytesTotal);
    // The steps of ExtractOne: a folder entry; the reason an existing file stays (empty: replace
    // it, or nothing is there); the file itself, through a temporary file.
    bool ExtractFolderEntry(const TZipHeaderInfo& member,
                            DestinationFolder& destination,
                            const std::filesystem::path& target);
    [[nodiscard]] std::string ReasonToKeepExisting(const TZipHeaderInfo& member,
                                                   const std::filesystem::path& target) const;
    bool WriteMemberFile(TZipHeaderInfo& member,
                         const std::filesystem::path& target,
                         std::uint64_t& bytesDone,
                         std::uint64_t bytesTotal);
    void Skip(const TZipHeaderInfo& member, const std::string& reason, bool dataError = false);

    std::unique_ptr<ArchiveFile> m_file;
    TSortedZip m_members;
    TEndCentral m_endCentral;
    bool m_loaded = false;
    std::filesystem::path m_loadedName;
    std::timespec m_loadedTime{};
    std::optional<std::uint64_t> m_openedSize;
    std::vector<TSkippedMember> m_skipped;
};

} // namespace archive
