#include "archive/DestinationFolder.h"

#include "archive/FileHelpers.h"

namespace archive {

DestinationFolder::DestinationFolder(std::filesystem::path root)
    : m_root(root.empty() ? std::filesystem::path(".") : std::move(root))
{
    ForceDirs(m_root);
    std::error_code ec;
    m_canonicalRoot = std::filesystem::weakly_canonical(m_root, ec);
}

bool DestinationFolder::Prepare(const std::filesystem::path& folder)
{
    if (m_ready.count(folder.native()) != 0) {
        return true;
    }
    ForceDirs(folder);
    if (!DirExists(folder) || m_canonicalRoot.empty()) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
    if (ec) {
        return false;
    }
    auto r = m_canonicalRoot.begin();
    auto p = canonical.begin();
    for (; r != m_canonicalRoot.end() && !r->empty(); ++r, ++p) {
        if (p == canonical.end() || *r != *p) {
            return false;
        }
    }
    m_ready.insert(folder.native());
    return true;
}

} // namespace archive
