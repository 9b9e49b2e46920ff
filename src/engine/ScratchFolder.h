#pragma once

#include <filesystem>
#include <string>

namespace engine {

// A fresh folder of its own under the temporary directory (mkdtemp, so two operations never
// share one), removed with everything in it when the object goes out of scope, on every path.
class ScratchFolder
{
public:
    ScratchFolder(); // throws std::runtime_error when no folder can be created
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Removes folder with everything in it; read-only entries are made writable first and links are
// removed, not followed. Refuses a file system root. Throws std::runtime_error on failure.
void DeleteFolderTree(const std::filesystem::path& folder);

// Writes text as the file of a member (name with '/' separators) below folder, creating folders.
// Names with empty, "." or ".." segments are refused. Throws std::runtime_error.
void WriteScratchFile(const std::filesystem::path& folder, const std::string& name, const std::string& text);

} // namespace engine
