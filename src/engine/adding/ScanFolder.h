#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace engine {

// Files smaller than this (or equal) are never packages worth a row: Office's owner lock files
// ("~$deck.pptx", 165 bytes) are the usual case.
inline constexpr std::uint64_t kMinPackageSize = 512;

// One accepted file of a folder walk, with the facts a new row needs.
struct ScannedFile
{
    std::string FullPath;
    std::string FileName;
    std::uint64_t Size = 0;
    std::string Ext;
    // False for a file a walk for loading took by its directory entry alone: Size is then unknown
    // and the load learns it from the file it opens.
    bool SizeKnown = true;
};

// The facts of the file at path (links followed), or nothing when path names no regular file.
std::optional<ScannedFile> DescribeFile(const std::string& path);
// The same from a status the caller already has (stat of path).
std::optional<ScannedFile> DescribeFile(const std::string& path, const struct stat& status);

// What a path given to add names on disk (links followed): the one place where paths are told
// apart into folders, files and the rest.
struct PathOnDisk
{
    enum class Kind
    {
        Missing, // Problem says why it cannot be reached
        Folder,
        File,  // File holds its facts
        Other, // neither a regular file nor a folder
    };

    Kind What = Kind::Missing;
    std::string Problem;
    std::optional<ScannedFile> File;
};

[[nodiscard]] PathOnDisk InspectPath(const std::string& path);

// A folder that could not be listed, or an entry whose kind could not be learnt, during a walk.
struct ScanProblem
{
    std::string Path;
    std::string Reason; // the system's message
};

// The files below folder that pass the filter and are larger than kMinPackageSize, in scan
// order: each folder's entries sorted by name (byte order), subfolders walked at once (depth
// first). Hidden entries are included; a folder link is followed unless it leads back to a
// folder already on the current walk. A folder that cannot be listed (or only in part), and an
// entry that cannot be examined (a link leading nowhere that passes the filter, or one whose
// status is refused), is left out and, with problems, appended there; an entry that vanished
// during the walk is not. Never throws.
std::vector<ScannedFile> ScanFolderFiles(const std::string& folder,
                                         const std::string& filterMode,
                                         const std::string& extensionList,
                                         std::vector<ScanProblem>* problems = nullptr);

// The same walk for a load, which opens and examines each file anyway: a regular file is taken by
// its directory entry and name, without a status of its own (SizeKnown false, no size limit
// applied: AppendLoadedRows leaves out what its load finds too small). Links, folders and entries
// of an unknown kind are examined as above.
std::vector<ScannedFile> ScanFolderFilesToLoad(const std::string& folder,
                                               const std::string& filterMode,
                                               const std::string& extensionList,
                                               std::vector<ScanProblem>* problems = nullptr);

} // namespace engine
