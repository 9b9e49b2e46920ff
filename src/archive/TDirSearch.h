#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Walks a folder depth first, returning the files whose name matches a pattern and, when recursing,
// each subfolder (with a trailing '/') right before its contents. Entries of one folder come sorted by
// name (byte order) so the walk does not depend on the file system. Names starting with '.' count as
// hidden: they are passed over unless the mask holds faHidden. A link to a folder that is one of the
// walk's own ancestors is not entered.
namespace archive {

inline constexpr std::uint32_t faReadOnly = 0x01;
inline constexpr std::uint32_t faHidden = 0x02;
inline constexpr std::uint32_t faSysFile = 0x04;
inline constexpr std::uint32_t faDirectory = 0x10;
inline constexpr std::uint32_t faArchive = 0x20;
inline constexpr std::uint32_t faAnyFile = 0x3F;
// What a walk sees when nothing else is said: ordinary files and folders, no hidden entries.
inline constexpr std::uint32_t faDefaultMask = faReadOnly | faDirectory | faArchive;

struct TSearchRec
{
    std::string Name; // entry name only
    std::uint64_t Size = 0;
    std::time_t Time = 0;
    std::uint32_t Attr = 0;
};

class TDirSearch
{
public:
    TDirSearch(const std::filesystem::path& startFolder,
               std::uint32_t attributeMask,
               bool recurse,
               const std::string& pattern);
    ~TDirSearch();
    TDirSearch(const TDirSearch&) = delete;
    TDirSearch& operator=(const TDirSearch&) = delete;

    // The next result as a path text (start folder + relative part, '/' separators; folders end in
    // '/'), or an empty text when the walk is over.
    std::string NextFile(TSearchRec& record);
    std::string NextFile();

private:
    struct Level;
    std::uint32_t m_mask;
    bool m_recurse;
    std::string m_pattern;
    std::vector<std::unique_ptr<Level>> m_levels;
};

} // namespace archive
