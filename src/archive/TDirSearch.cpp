#include "archive/TDirSearch.h"

#include "archive/WildcardMatch.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace archive {
namespace {

struct Entry
{
    std::string Name;
    bool IsDirectory = false;

    struct stat Info = {};
};

struct Identity
{
    dev_t Device = 0;
    ino_t Inode = 0;
};

// The sorted entries of one folder; links are followed, entries that vanish or cannot be stat-ed and
// anything that is neither a regular file nor a folder are left out.
std::vector<Entry> ReadFolder(const std::string& folder)
{
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        Entry e;
        e.Name = name;
        if (::stat((folder + name).c_str(), &e.Info) != 0) {
            continue;
        }
        e.IsDirectory = S_ISDIR(e.Info.st_mode);
        if (e.IsDirectory || S_ISREG(e.Info.st_mode)) {
            entries.push_back(std::move(e));
        }
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.Name < b.Name; });
    return entries;
}

} // namespace

struct TDirSearch::Level
{
    std::string Folder; // ends in '/'
    Identity Id;
    std::vector<Entry> Entries;
    std::size_t Next = 0;
};

TDirSearch::TDirSearch(const std::filesystem::path& startFolder,
                       std::uint32_t attributeMask,
                       bool recurse,
                       const std::string& pattern)
    : m_mask(attributeMask)
    , m_recurse(recurse)
    , m_pattern(pattern.empty() ? "*" : pattern)
{
    std::string folder = startFolder.string();
    if (folder.empty()) {
        folder = "./";
    } else if (folder.back() != '/') {
        folder += '/';
    }
    auto level = std::make_unique<Level>();
    level->Folder = folder;

    struct stat st = {};
    if (::stat(folder.c_str(), &st) == 0) {
        level->Id = Identity{st.st_dev, st.st_ino};
        level->Entries = ReadFolder(folder);
    }
    m_levels.push_back(std::move(level));
}

TDirSearch::~TDirSearch() = default;

std::string TDirSearch::NextFile()
{
    TSearchRec record;
    return NextFile(record);
}

std::string TDirSearch::NextFile(TSearchRec& record)
{
    while (!m_levels.empty()) {
        Level& level = *m_levels.back();
        if (level.Next >= level.Entries.size()) {
            m_levels.pop_back();
            continue;
        }
        const Entry& e = level.Entries[level.Next++];
        const bool hidden = e.Name[0] == '.';
        if (hidden && (m_mask & faHidden) == 0) {
            continue;
        }
        record.Name = e.Name;
        record.Size = e.IsDirectory ? 0 : static_cast<std::uint64_t>(e.Info.st_size);
        record.Time = e.Info.st_mtim.tv_sec;
        record.Attr = (hidden ? faHidden : 0) | ((e.Info.st_mode & S_IWUSR) == 0 ? faReadOnly : 0) |
                      (e.IsDirectory ? faDirectory : faArchive);
        if (e.IsDirectory) {
            if (!m_recurse) {
                continue;
            }
            const bool isAncestor = std::any_of(m_levels.begin(), m_levels.end(), [&](const auto& l) {
                return l->Id.Device == e.Info.st_dev && l->Id.Inode == e.Info.st_ino;
            });
            if (isAncestor) {
                continue;
            }
            auto child = std::make_unique<Level>();
            child->Folder = level.Folder + e.Name + "/";
            child->Id = Identity{e.Info.st_dev, e.Info.st_ino};
            child->Entries = ReadFolder(child->Folder);
            std::string result = child->Folder;
            m_levels.push_back(std::move(child));
            return result;
        }
        // A name without extension is matched as "name." so that "*.*" finds it too.
        const std::string matchName = e.Name.find('.') == std::string::npos ? e.Name + "." : e.Name;
        if (WildcardMatch(m_pattern, matchName)) {
            return level.Folder + e.Name;
        }
    }
    return std::string();
}

} // namespace archive
