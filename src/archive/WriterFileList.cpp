#include "archive/WriterFileList.h"

#include "archive/TDirSearch.h"
#include "archive/WildcardMatch.h"

#include <algorithm>
#include <system_error>

namespace archive {

namespace {

namespace fs = std::filesystem;

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string::size_type LastSeparator(const std::string& path)
{
    return path.find_last_of("/\\");
}

std::string FileNamePart(const std::string& path)
{
    const auto slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

bool IsHiddenName(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

// True when a step of the path below the walk's folder is hidden.
bool HasHiddenStep(const std::string& path, std::size_t folderLength)
{
    for (std::size_t i = std::min(folderLength, path.size()); i < path.size(); ++i) {
        if (path[i] == '.' && (i == 0 || path[i - 1] == '/')) {
            return true;
        }
    }
    return false;
}

bool IsArchiveItself(const std::string& path, const fs::path& zipName)
{
    if (zipName.empty()) {
        return false;
    }
    std::error_code ec;
    if (fs::equivalent(path, zipName, ec)) {
        return true;
    }
    return fs::path(path).lexically_normal() == zipName.lexically_normal();
}

void Skip(const WriterFileListOptions& options, const std::string& path, const std::string& reason)
{
    if (options.OnSkip) {
        options.OnSkip(path, reason);
    }
}

void ExpandPattern(std::string entry, const WriterFileListOptions& options, std::vector<std::string>& out)
{
    bool recurse = options.Recurse;
    if (!entry.empty() && (entry.front() == '|' || entry.front() == '>')) {
        recurse = entry.front() == '>';
        entry.erase(0, 1);
    }
    const auto slash = LastSeparator(entry);
    std::string folder = slash == std::string::npos ? std::string() : entry.substr(0, slash);
    std::string mask = slash == std::string::npos ? entry : entry.substr(slash + 1);
    if (folder.empty()) {
        folder = options.RootDir;
        while (folder.size() > 1 && IsSeparator(folder.back())) {
            folder.pop_back();
        }
    }
    if (mask == "*.*") {
        mask = "*";
    }
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) {
        Skip(options, entry, "folder not found");
        return;
    }
    const bool hiddenWanted = (options.AttributeMask & faHidden) != 0;
    const bool hiddenMembers = !hiddenWanted && options.IncludeHidden != nullptr;
    TDirSearch search(folder, options.AttributeMask | (hiddenMembers ? faHidden : 0), recurse, mask);
    for (std::string found = search.NextFile(); !found.empty(); found = search.NextFile()) {
        if (hiddenMembers && HasHiddenStep(found, folder.size()) &&
            (found.back() == '/' || !options.IncludeHidden(StoredNameOf(found, options)))) {
            continue;
        }
        if (found.back() == '/') {
            if (options.AddDirEntriesOnRecurse) {
                out.push_back(found);
            }
            continue;
        }
        if (MatchesPathList(found, options.ExcludeList)) {
            Skip(options, found, "excluded");
            continue;
        }
        if (options.CheckCancel) {
            options.CheckCancel();
        }
        if (IsArchiveItself(found, options.ZipName)) {
            continue;
        }
        out.push_back(found);
    }
}

} // namespace

std::string AsciiLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), AsciiLowerChar);
    return text;
}

bool MatchesPathList(const std::string& path, const std::vector<std::string>& patterns)
{
    const std::string lowerPath = AsciiLower(path);
    const std::string lowerName = AsciiLower(FileNamePart(path));
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        const bool wholePath = pattern.find_first_of("/\\") != std::string::npos;
        std::string p = pattern;
        std::replace(p.begin(), p.end(), '\\', '/');
        return WildcardMatch(AsciiLower(p), wholePath ? lowerPath : lowerName);
    });
}

std::vector<std::string> ExpandWriterFilesList(const std::vector<std::string>& filesList,
                                               const WriterFileListOptions& options)
{
    std::vector<std::string> out;
    std::vector<std::string> patterns;
    for (const std::string& entry : filesList) {
        if (entry.empty()) {
            continue;
        }
        if (IsSeparator(entry.back())) {
            out.push_back(entry);
        } else if (IsWildcard(entry)) {
            patterns.push_back(entry);
        } else {
            const std::string path =
                LastSeparator(entry) == std::string::npos ? options.RootDir + entry : entry;
            std::error_code ec;
            const bool hiddenAllowed = (options.AttributeMask & faHidden) != 0;
            if (MatchesPathList(path, options.ExcludeList)) {
                Skip(options, path, "excluded");
            } else if (!fs::is_regular_file(path, ec) ||
                       (IsHiddenName(FileNamePart(path)) && !hiddenAllowed)) {
                Skip(options, path, "file not found");
            } else {
                out.push_back(path);
            }
        }
    }
    for (const std::string& pattern : patterns) {
        ExpandPattern(pattern, options, out);
    }
    return out;
}

std::string StoredNameOf(const std::string& path, const WriterFileListOptions& options)
{
    std::string normal = fs::path(path).lexically_normal().generic_string();
    const bool isFolder = IsSeparator(path.back());
    if (isFolder && !normal.empty() && normal.back() != '/') {
        normal += '/';
    }
    std::string directory;
    std::string name = normal;
    if (const auto slash = normal.find_last_of('/', isFolder ? normal.size() - 2 : std::string::npos);
        slash != std::string::npos) {
        directory = normal.substr(0, slash + 1);
        name = normal.substr(slash + 1);
    }
    if (!options.StorePaths) {
        return name;
    }
    if (options.RelativePaths) {
        for (const std::string& prefix : options.RelativePathList) {
            std::string p = fs::path(prefix).lexically_normal().generic_string();
            if (!p.empty() && p.back() != '/') {
                p += '/';
            }
            if (!p.empty() && StartsWithIgnoringCase(directory, p)) {
                directory.erase(0, p.size());
                break;
            }
        }
    }
    // Member names are relative and stay inside the archive's tree: a leading separator (the file
    // system root) and leading ".." steps are not stored.
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (!directory.empty() && directory.front() == '/') {
            directory.erase(0, 1);
            trimmed = true;
        } else if (directory.rfind("../", 0) == 0) {
            directory.erase(0, 3);
            trimmed = true;
        }
    }
    return directory + name;
}

} // namespace archive
