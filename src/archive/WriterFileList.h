#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// How an archive writer turns its file list (paths and folder patterns) into the files to add, and
// the stored member name each file gets.
namespace archive {

struct WriterFileListOptions
{
    std::string RootDir;                       // ends in '/' or is empty
    std::vector<std::string> RelativePathList; // prefixes removed from stored directories
    std::vector<std::string> ExcludeList;
    bool Recurse = false;
    bool StorePaths = false;
    bool RelativePaths = false;
    bool AddDirEntriesOnRecurse = false;
    std::uint32_t AttributeMask = 0;
    std::filesystem::path ZipName;     // never added to itself
    std::function<void()> CheckCancel; // called per file found; throws to stop
    std::function<void(const std::string& path, const std::string& reason)> OnSkip;
    // Names beginning with '.' count as hidden and are not added, unless the mask includes hidden
    // entries. Some hidden files are package content all the same (an unpacked member such as
    // "_rels/.rels"); those for whose stored name this says yes are taken.
    std::function<bool(const std::string& storedName)> IncludeHidden;
};

// The files named by the list, in list order, each pattern entry replaced by the files its walk
// finds ('/' separated paths; folders end in '/'). Entries: a path ending in '/' names a folder
// member; an entry with wildcards is a folder plus a name pattern ('|' in front: no recursion, '>':
// recursion); anything else is one file, taken relative to RootDir when it has no folder part.
std::vector<std::string> ExpandWriterFilesList(const std::vector<std::string>& filesList,
                                               const WriterFileListOptions& options);

// True when the path matches an exclusion or no-compression pattern: patterns holding a separator
// are matched against the whole path, the others against the file name.
bool MatchesPathList(const std::string& path, const std::vector<std::string>& patterns);

// The member name a file is stored under, with '/' separators and never a leading '/'.
std::string StoredNameOf(const std::string& path, const WriterFileListOptions& options);

// ASCII lower case, the letter case rule of member name comparison: of one character, and of a text.
[[nodiscard]] inline char AsciiLowerChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string text);

} // namespace archive
