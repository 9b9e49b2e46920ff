#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>

namespace archive {

// The folder an extraction writes into. Creates the folders members need and vouches that each lies
// inside the root once links are resolved; folders already vouched for are not looked at again.
class DestinationFolder
{
public:
    explicit DestinationFolder(std::filesystem::path root);

    [[nodiscard]] const std::filesystem::path& Root() const { return m_root; }

    // Creates the folder with its parents; false when it cannot be made or lies outside the root.
    bool Prepare(const std::filesystem::path& folder);

private:
    std::filesystem::path m_root;
    std::filesystem::path m_canonicalRoot;
    std::unordered_set<std::string> m_ready;
};

} // namespace archive
