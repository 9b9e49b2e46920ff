#include "archive/ZipOutputFile.h"

#include "archive/ArchiveErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace archive {

namespace {

// Written data is handed to the disk in steps of this size while the copy goes on, so that the final
// flush to disk has little left to wait for.
constexpr std::uint64_t kWritebackStep = 4 * 1024 * 1024;

// Spans below this size are cheaper through the buffer than with a separate kernel copy call.
constexpr std::uint64_t kKernelCopyThreshold = 64 * 1024;

} // namespace

void ThrowWriteError(int error, const std::string& name)
{
    const std::string detail = name + ": " + std::strerror(error);
    if (error == ENOSPC || error == EFBIG || error == EDQUOT) {
        throw ENotEnoughRoom(detail);
    }
    throw EArchiveIoError(detail);
}

void ReadExactlyAt(int fd, void* data, std::size_t size, std::uint64_t offset, const std::string& name)
{
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EArchiveIoError(name + ": " + std::strerror(errno));
        }
        if (n == 0) {
            throw EBadZipFile(name + ": member data runs past the end of the archive");
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
}

ZipOutputFile::ZipOutputFile(int fd, std::string displayName)
    : m_fd(fd)
    , m_name(std::move(displayName))
    , m_buffer(kBufferSize)
{}

void ZipOutputFile::Write(std::string_view bytes)
{
    Write(bytes.data(), bytes.size());
}

void ZipOutputFile::Write(const void* data, std::size_t size)
{
    const auto* p = static_cast<const char*>(data);
    if (size >= m_buffer.size()) {
        Flush();
        WriteDirect(p, size);
        return;
    }
    if (m_used + size > m_buffer.size()) {
        Flush();
    }
    std::memcpy(m_buffer.chars() + m_used, p, size);
    m_used += size;
}

void ZipOutputFile::WriteAt(std::uint64_t offset, std::string_view bytes)
{
    if (offset + bytes.size() > Position()) {
        throw EArchiveError("Internal error: rewrite past the end of the output", m_name);
    }
    if (offset >= m_flushed) {
        std::memcpy(m_buffer.chars() + (offset - m_flushed), bytes.data(), bytes.size());
        return;
    }
    Flush();
    if (m_observer) {
        if (!m_holding || offset < m_observed) {
            throw EArchiveError("Internal error: rewrite of output already observed", m_name);
        }
        m_held.replace(static_cast<std::size_t>(offset - m_observed), bytes.size(), bytes);
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = pwrite(m_fd, p, left, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ThrowWriteError(n < 0 ? errno : ENOSPC, m_name);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
}

void ZipOutputFile::Flush()
{
    if (m_used == 0) {
        return;
    }
    const std::size_t used = m_used;
    m_used = 0;
    WriteDirect(m_buffer.chars(), used);
}

void ZipOutputFile::BeginRewritable()
{
    if (m_observer) {
        m_holding = true;
    }
}

void ZipOutputFile::EndRewritable()
{
    if (m_holding) {
        m_holding = false;
        m_observer(m_held);
        m_observed += m_held.size();
        m_held.clear();
    }
}

void ZipOutputFile::WriteDirect(const char* data, std::size_t size)
{
    if (m_observer) {
        if (m_holding) {
            m_held.append(data, size);
        } else {
            m_observer(std::string_view(data, size));
            m_observed += size;
        }
    }
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // A regular file that takes fewer bytes than offered has run out of room; the retry
        // either continues or reports the reason.
        if (n <= 0) {
            ThrowWriteError(n < 0 ? errno : ENOSPC, m_name);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        m_flushed += static_cast<std::uint64_t>(n);
    }
    StartWriteback();
}

void ZipOutputFile::StartWriteback()
{
    if (m_flushed - m_writebackStart < kWritebackStep) {
        return;
    }
    // Only a hint that starts the writes; errors surface at the final fsync.
    sync_file_range(m_fd, static_cast<off_t>(m_writebackStart),
                    static_cast<off_t>(m_flushed - m_writebackStart), SYNC_FILE_RANGE_WRITE);
    m_writebackStart = m_flushed;
}

void ZipOutputFile::CopyFrom(int inFd,
                             const std::string& inName,
                             std::uint64_t inOffset,
                             std::uint64_t length)
{
    if (!m_kernelCopy || m_observer || length < kKernelCopyThreshold) {
        CopyThroughBuffer(inFd, inName, inOffset, length);
        return;
    }
    Flush();
    auto in = static_cast<off_t>(inOffset);
    auto out = static_cast<off_t>(m_flushed);
    while (length > 0) {
        const ssize_t n = copy_file_range(inFd, &in, m_fd, &out, length, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                errno == EBADF) {
                // Not supported between these files: fall back to plain reads and writes.
                m_kernelCopy = false;
                m_flushed = static_cast<std::uint64_t>(out);
                if (lseek(m_fd, out, SEEK_SET) < 0) {
                    ThrowWriteError(errno, m_name);
                }
                CopyThroughBuffer(inFd, inName, static_cast<std::uint64_t>(in), length);
                return;
            }
            ThrowWriteError(errno, m_name);
        }
        if (n == 0) {
            throw EBadZipFile(inName + ": member data runs past the end of the archive");
        }
        length -= static_cast<std::uint64_t>(n);
    }
    // copy_file_range moves the explicit offsets only, so the descriptor's own position follows here.
    m_flushed = static_cast<std::uint64_t>(out);
    if (lseek(m_fd, out, SEEK_SET) < 0) {
        ThrowWriteError(errno, m_name);
    }
    StartWriteback();
}

void ZipOutputFile::CopyThroughBuffer(int inFd,
                                      const std::string& inName,
                                      std::uint64_t inOffset,
                                      std::uint64_t length)
{
    while (length > 0) {
        if (m_used == m_buffer.size()) {
            Flush();
        }
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, m_buffer.size() - m_used));
        ReadExactlyAt(inFd, m_buffer.chars() + m_used, chunk, inOffset, inName);
        m_used += chunk;
        inOffset += chunk;
        length -= chunk;
    }
}

void ZipOutputFile::Sync()
{
    Flush();
    if (fsync(m_fd) != 0) {
        ThrowWriteError(errno, m_name);
    }
}

} // namespace archive
