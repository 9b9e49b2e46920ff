#include "engine/ScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

} // namespace engine
