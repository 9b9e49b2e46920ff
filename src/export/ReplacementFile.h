#pragma once

#include <filesystem>
#include <string_view>

namespace exporting {

// The new content of a file, written under a unique temporary name beside it. Commit makes the
// content durable and renames it over the target in one step, so the target keeps its old content
// until the new one is complete; without Commit the temporary file is removed. A symbolic link as
// target is followed, so the file it names is replaced and the link stays. Failures throw
// EExportError naming the target and the reason.
class ReplacementFile
{
public:
    explicit ReplacementFile(std::filesystem::path target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Where the content goes until Commit; a writer may also reopen this path and write it itself.
    [[nodiscard]] const std::filesystem::path& TempPath() const { return m_tempPath; }

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void Fail(const std::string& what, int error) const;

    std::filesystem::path m_target;
    std::filesystem::path m_tempPath;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace exporting
