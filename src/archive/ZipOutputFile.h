#pragma once

#include "archive/ByteBuffer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Buffered output of a new archive onto an open descriptor. Every write is checked: a short
// write or a full disk ends in ENotEnoughRoom, never in a silently truncated archive.
namespace archive {

class ZipOutputFile
{
public:
    static constexpr std::size_t kBufferSize = 256 * 1024;

    ZipOutputFile(int fd, std::string displayName);
    ZipOutputFile(const ZipOutputFile&) = delete;
    ZipOutputFile& operator=(const ZipOutputFile&) = delete;

    [[nodiscard]] std::uint64_t Position() const { return m_flushed + m_used; }

    void Write(std::string_view bytes);
    void Write(const void* data, std::size_t size);

    // Rewrites bytes already written (a local header once its final values are known).
    void WriteAt(std::uint64_t offset, std::string_view bytes);

    // Appends length bytes of inFd starting at inOffset without passing them through user space
    // when the kernel can do that; a source that ends early is an EBadZipFile.
    void CopyFrom(int inFd, const std::string& inName, std::uint64_t inOffset, std::uint64_t length);

    void Flush();

    // Receives every byte of the output exactly once, in file order, once it can no longer change
    // (to hash the archive while it is written). Raw copies then pass through the buffer.
    void SetObserver(std::function<void(std::string_view)> observer) { m_observer = std::move(observer); }

    // Bytes from the current position on may still be rewritten with WriteAt: the observer sees
    // them only after EndRewritable.
    void BeginRewritable();
    void EndRewritable();

    // Flushes and forces the data to the disk.
    void Sync();

private:
    void WriteDirect(const char* data, std::size_t size);
    void StartWriteback();
    void CopyThroughBuffer(int inFd, const std::string& inName, std::uint64_t inOffset, std::uint64_t length);

    int m_fd;
    std::string m_name;
    ByteBuffer m_buffer; // not cleared: only what was written is ever read back
    std::size_t m_used = 0;
    std::uint64_t m_flushed = 0;
    bool m_kernelCopy = true;
    std::uint64_t m_writebackStart = 0;
    std::function<void(std::string_view)> m_observer;
    bool m_holding = false;
    std::string m_held; // flushed bytes the observer has not seen yet (while holding)
    std::uint64_t m_observed = 0;
};

// Throws the archive error that fits a failed write (errno in error).
[[noreturn]] void ThrowWriteError(int error, const std::string& name);

// Reads exactly size bytes at offset; throws EBadZipFile when the file ends before that.
void ReadExactlyAt(int fd, void* data, std::size_t size, std::uint64_t offset, const std::string& name);

} // namespace archive
