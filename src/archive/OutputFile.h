#pragma once

#include <cstddef>
#include <filesystem>

// An output file written under a temporary name in its destination folder and renamed into place only
// when complete, so that a failed or abandoned extraction leaves no partial file behind.
namespace archive {

class OutputFile
{
public:
    // Creates the temporary file next to target (permissions as for any new file). Throws
    // ECantWriteUCF naming the system's reason.
    explicit OutputFile(const std::filesystem::path& target);
    ~OutputFile(); // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throws ENotEnoughRoom when the disk or quota is full, ECantWriteUCF on other failures.
    void Write(const char* data, std::size_t size);
    // Closes the file; the temporary path may then be given its time and attributes before Commit.
    void Close();

    [[nodiscard]] const std::filesystem::path& TemporaryPath() const { return m_temporary; }

    // Moves the finished file to the target name, replacing what is there.
    void Commit();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace archive
