#include "engine/adding/ScanFolder.h"

#include "engine/adding/AddDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace engine {

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};

// A folder's identity, so that a link leading back to a folder on the current walk is not
// followed into an endless loop.
using FolderId = std::pair<dev_t, ino_t>;

class FolderWalk
{
public:
    FolderWalk(const std::string& filterMode,
               const std::string& extensionList,
               std::vector<ScanProblem>* problems,
               bool examineFiles)
        : m_filterMode(filterMode)
        , m_extensionList(extensionList)
        , m_problems(problems)
        , m_examineFiles(examineFiles)
    {}

    void Walk(const std::string& folder, const FolderId& id)
    {
        m_onWalk.push_back(id);
        for (const auto& [name, type] : SortedEntries(folder)) {
            Visit(folder + name, type);
        }
        m_onWalk.pop_back();
    }

    std::vector<ScannedFile> Take() { return std::move(m_files); }

private:
    void Problem(const std::string& path, int error)
    {
        if (m_problems != nullptr) {
            m_problems->push_back(ScanProblem{path, std::strerror(error)});
        }
    }

    // The folder's path as given, without the slash the walk appends.
    static std::string Shown(const std::string& folder)
    {
        return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    }

    // The entries' names with their kinds as the folder gives them (DT_UNKNOWN where it does not).
    std::vector<std::pair<std::string, unsigned char>> SortedEntries(const std::string& folder)
    {
        std::vector<std::pair<std::string, unsigned char>> names;
        std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
        if (!dir) {
            if (errno != ENOENT) { // one that vanished during the walk is no problem
                Problem(Shown(folder), errno);
            }
            return names;
        }
        errno = 0;
        while (const dirent* entry = readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.emplace_back(name, entry->d_type);
            }
            errno = 0;
        }
        if (errno != 0) {
            Problem(Shown(folder), errno); // the entries read so far are still walked
        }
        // std::string compares as unsigned bytes, so the order does not depend on the locale.
        std::sort(names.begin(), names.end());
        return names;
    }

    void Visit(const std::string& full, unsigned char type)
    {
        if (type == DT_REG) {
            // A regular file is judged by its name first: one that does not pass the filter needs
            // no status, and a load opens and examines the others itself.
            if (!PassesFilter(FileExtension(full), m_filterMode, m_extensionList)) {
                return;
            }
            if (!m_examineFiles) {
                m_files.push_back(ScannedFile{full, full.substr(full.find_last_of('/') + 1), 0,
                                              FileExtension(full), false});
                return;
            }
        }

        struct stat st
        {
        };

        if (stat(full.c_str(), &st) != 0) {
            const int error = errno;

            struct stat link
            {
            };

            // An entry that vanished is no problem; a link leading nowhere is one only where a
            // package was to be found.
            if (error != ENOENT) {
                Problem(full, error);
            } else if (lstat(full.c_str(), &link) == 0 &&
                       PassesFilter(FileExtension(full), m_filterMode, m_extensionList)) {
                Problem(full, error);
            }
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            const FolderId id{st.st_dev, st.st_ino};
            if (std::find(m_onWalk.begin(), m_onWalk.end(), id) == m_onWalk.end()) {
                Walk(full + "/", id);
            }
            return;
        }
        if (!S_ISREG(st.st_mode)) {
            return; // devices, pipes and sockets are never packages
        }
        const std::string ext = FileExtension(full);
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (PassesFilter(ext, m_filterMode, m_extensionList) && size > kMinPackageSize) {
            m_files.push_back(ScannedFile{full, full.substr(full.find_last_of('/') + 1), size, ext});
        }
    }

    const std::string& m_filterMode;
    const std::string& m_extensionList;
    std::vector<ScanProblem>* m_problems;
    bool m_examineFiles;
    std::vector<FolderId> m_onWalk;
    std::vector<ScannedFile> m_files;
};

} // namespace

std::optional<ScannedFile> DescribeFile(const std::string& path)
{
    struct stat st
    {
    };

    if (path.empty() || stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return DescribeFile(path, st);
}

std::optional<ScannedFile> DescribeFile(const std::string& path, const struct stat& st)
{
    if (path.empty() || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    const std::size_t slash = path.find_last_of('/');
    return ScannedFile{path, slash == std::string::npos ? path : path.substr(slash + 1),
                       static_cast<std::uint64_t>(st.st_size), FileExtension(path)};
}

PathOnDisk InspectPath(const std::string& path)
{
    struct stat st
    {
    };

    if (path.empty() || stat(path.c_str(), &st) != 0) {
        return PathOnDisk{
            PathOnDisk::Kind::Missing, path.empty() ? "no path given" : std::strerror(errno), {}};
    }
    if (S_ISDIR(st.st_mode)) {
        return PathOnDisk{PathOnDisk::Kind::Folder, {}, {}};
    }
    std::optional<ScannedFile> file = DescribeFile(path, st);
    return file ? PathOnDisk{PathOnDisk::Kind::File, {}, std::move(file)}
                : PathOnDisk{PathOnDisk::Kind::Other, "not a file or folder", {}};
}

namespace {

std::vector<ScannedFile> WalkFolder(const std::string& folder,
                                    const std::string& filterMode,
                                    const std::string& extensionList,
                                    std::vector<ScanProblem>* problems,
                                    bool examineFiles)
{
    try {
        std::string root = folder.empty() ? std::string("./") : folder;
        if (root.back() != '/') {
            root += '/';
        }

        struct stat st
        {
        };

        if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return {};
        }
        FolderWalk walk(filterMode, extensionList, problems, examineFiles);
        walk.Walk(root, FolderId{st.st_dev, st.st_ino});
        return walk.Take();
    } catch (...) {
        return {}; // only allocation can fail here; a scan never ends a command
    }
}

} // namespace

std::vector<ScannedFile> ScanFolderFiles(const std::string& folder,
                                         const std::string& filterMode,
                                         const std::string& extensionList,
                                         std::vector<ScanProblem>* problems)
{
    return WalkFolder(folder, filterMode, extensionList, problems, true);
}

std::vector<ScannedFile> ScanFolderFilesToLoad(const std::string& folder,
                                               const std::string& filterMode,
                                               const std::string& extensionList,
                                               std::vector<ScanProblem>* problems)
{
    return WalkFolder(folder, filterMode, extensionList, problems, false);
}

std::vector<std::string>
ScanFolder(const std::string& folder, const std::string& filterMode, const std::string& extensionList)
{
    std::vector<std::string> paths;
    for (ScannedFile& file : ScanFolderFiles(folder, filterMode, extensionList)) {
        paths.push_back(std::move(file.FullPath));
    }
    return paths;
}

} // namespace engine
