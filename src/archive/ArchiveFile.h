#pragma once

#include "archive/ByteBuffer.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>

// A read-only archive file with a position and a read buffer (positioned reads, so nothing is shared
// with other open files or threads).
namespace archive {

class ArchiveFile
{
public:
    // The read buffer's size; a smaller file gets a buffer of its own size.
    static constexpr std::size_t kBufferSize = 128 * 1024;

    // Throws EArchiveIoError naming the path and the system's reason.
    explicit ArchiveFile(const std::filesystem::path& path);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

    [[nodiscard]] std::uint64_t Size() const { return m_size; }

    [[nodiscard]] std::uint64_t Position() const { return m_position; }

    [[nodiscard]] std::timespec ModificationTime() const { return m_modified; }

    void Seek(std::uint64_t position) { m_position = position; }

    void Skip(std::uint64_t count) { m_position += count; }

    // Reads up to count bytes; fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    // Fills the buffer from this position on, so that following reads there need no system call.
    void Prefetch(std::uint64_t position);
    // The bytes [position, position + count) where the read buffer holds them all, else null; valid
    // until the next read.
    [[nodiscard]] const unsigned char* Buffered(std::uint64_t position, std::size_t count) const;
    // Reads exactly count bytes or throws EFatalUnzipError "Premature end of file reached".
    void ReadExact(void* buffer, std::size_t count);

private:
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;

    std::filesystem::path m_path;
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::timespec m_modified{};
    std::uint64_t m_position = 0;
    ByteBuffer m_buffer;
    std::uint64_t m_bufferStart = 0;
    std::size_t m_bufferLength = 0;
};

} // namespace archive
