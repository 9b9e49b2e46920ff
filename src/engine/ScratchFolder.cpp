#include "engine/ScratchFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace engine {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) {
        base = "/tmp";
    }
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

void DeleteFolderTree(const fs::path& folder)
{
    const fs::path absolute = fs::absolute(folder);
    if (absolute.relative_path().empty()) {
        throw std::runtime_error("refusing to delete the root folder " + absolute.string());
    }
    std::error_code ec;
    // Entries without write permission for their owner would stop the removal for a normal user.
    for (auto it = fs::recursive_directory_iterator(absolute, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    ec.clear();
    fs::permissions(absolute, fs::perms::owner_all, fs::perm_options::add, ec);
    ec.clear();
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
