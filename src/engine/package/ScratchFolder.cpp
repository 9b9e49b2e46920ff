#include "engine/package/ScratchFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace engine {

namespace fs = std::filesystem;

namespace {

constexpr long kTmpfsMagic = 0x01021994;

bool IsPrivateFolder(const char* path)
{
    struct stat st
    {
    };

    return stat(path, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

bool IsWritableMemoryFolder(const char* path)
{
    struct statfs fs
    {
    };

    return statfs(path, &fs) == 0 && static_cast<long>(fs.f_type) == kTmpfsMagic &&
           access(path, W_OK | X_OK) == 0;
}

void MakeWritable(const fs::path& folder)
{
    std::error_code ec;
    // Entries without write permission for their owner would stop the removal for a normal user.
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
}

} // namespace

fs::path ScratchBase(ScratchSize size)
{
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0') {
        return tmpdir;
    }
    if (size == ScratchSize::Large) {
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        return ec ? fs::path("/tmp") : base;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/' && IsPrivateFolder(runtime)) {
        return runtime;
    }
    if (IsWritableMemoryFolder("/dev/shm")) {
        return "/dev/shm";
    }
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    return ec ? fs::path("/tmp") : base;
}

ScratchFolder::ScratchFolder(ScratchSize size)
{
    const fs::path base = ScratchBase(size);
    std::string pattern = (base / "velmora-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder in " + base.string() + ": " +
                                 std::strerror(errno));
    }
    m_path = buffer.data();
}

ScratchFolder::~ScratchFolder()
{
    try {
        DeleteFolderTree(m_path);
    } catch (...) {
        // A folder that cannot be removed is left behind; it must not mask the operation's outcome.
    }
}

void ScratchFolder::Empty()
{
    m_emptyingFailed = true;
    std::error_code ec;
    for (auto it = fs::directory_iterator(m_path, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            DeleteFolderTree(it->path());
        } else if (!fs::remove(it->path(), ec) || ec) {
            throw std::runtime_error("cannot empty " + m_path.string() + ": " + ec.message());
        }
    }
    if (ec) {
        throw std::runtime_error("cannot empty " + m_path.string() + ": " + ec.message());
    }
    m_emptyingFailed = false;
}

void DeleteFolderTree(const fs::path& folder)
{
    const fs::path absolute = fs::absolute(folder);
    if (absolute.relative_path().empty()) {
        throw std::runtime_error("refusing to delete the root folder " + absolute.string());
    }
    MakeWritable(absolute);
    std::error_code ec;
    fs::remove_all(absolute, ec);
    if (ec) {
        throw std::runtime_error("cannot delete " + absolute.string() + ": " + ec.message());
    }
}

// A member name as a relative path below the scratch folder; names that could lead outside it
// are refused (they never name a property part of a sound package).
namespace {

fs::path SafeRelativePath(const std::string& name)
{
    fs::path relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t cut = std::min(name.find('/', start), name.size());
        const std::string segment = name.substr(start, cut - start);
        if (segment.empty() || segment == "." || segment == "..") {
            throw std::runtime_error("unsafe member name " + name);
        }
        relative /= segment;
        start = cut + 1;
    }
    return relative;
}

} // namespace

void WriteScratchFile(const fs::path& folder, const std::string& name, const std::string& text)
{
    const fs::path path = folder / SafeRelativePath(name);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(errno));
    }
}

} // namespace engine
