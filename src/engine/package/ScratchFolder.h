#pragma once

#include <filesystem>
#include <string>

namespace engine {

// What a scratch folder is for: package parts, a few kilobytes to megabytes each, or files that may
// grow to gigabytes (the rows of a large workbook), which belong on a disk, not in memory.
enum class ScratchSize { Small, Large };

// A fresh folder of its own under the scratch base (mkdtemp, so two operations never share one),
// removed with everything in it when the object goes out of scope, on every path. One folder may
// serve a whole run of operations on one thread: Empty() clears it between them.
class ScratchFolder
{
public:
    // Throws std::runtime_error when no folder can be created.
    explicit ScratchFolder(ScratchSize size = ScratchSize::Small);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

    // Removes everything inside the folder and keeps the folder. Throws std::runtime_error when
    // something stays behind; the next Empty() tries again.
    void Empty();

    // Whether the last Empty() left something behind.
    [[nodiscard]] bool EmptyingFailed() const { return m_emptyingFailed; }

private:
    std::filesystem::path m_path;
    bool m_emptyingFailed = false;
};

// Where scratch folders are made: TMPDIR when it is set; otherwise, for small files, the user's
// memory-backed runtime folder (XDG_RUNTIME_DIR, private to the user) or /dev/shm, so that scratch
// files never cost a disk journal write; otherwise, and for large files (which would take as much
// memory there, and may not fit), the system's temporary folder.
std::filesystem::path ScratchBase(ScratchSize size = ScratchSize::Small);

// Removes folder with everything in it; read-only entries are made writable first and links are
// removed, not followed. Refuses a file system root. Throws std::runtime_error on failure.
void DeleteFolderTree(const std::filesystem::path& folder);

// Writes text as the file of a member (name with '/' separators) below folder, creating folders.
// Names with empty, "." or ".." segments are refused. Throws std::runtime_error.
void WriteScratchFile(const std::filesystem::path& folder, const std::string& name, const std::string& text);

} // namespace engine
