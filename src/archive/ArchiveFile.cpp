#include "archive/ArchiveFile.h"

#include "archive/ArchiveErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace archive {

ArchiveFile::ArchiveFile(const std::filesystem::path& path)
    : m_path(path)
    , m_buffer(0)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        throw EArchiveIoError(path.string() + ": " + std::strerror(errno));
    }

    struct stat st = {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(m_fd);
        throw EArchiveIoError(path.string() + ": " + std::strerror(error == 0 ? EINVAL : error));
    }
    m_size = static_cast<std::uint64_t>(st.st_size);
    m_modified = st.st_mtim;
    m_buffer = ByteBuffer(static_cast<std::size_t>(std::clamp<std::uint64_t>(m_size, 1, kBufferSize)));
}

ArchiveFile::~ArchiveFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::size_t ArchiveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EArchiveIoError(m_path.string() + ": " + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t ArchiveFile::Read(void* buffer, std::size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (m_position >= m_bufferStart && m_position < m_bufferStart + m_bufferLength) {
            const std::size_t at = static_cast<std::size_t>(m_position - m_bufferStart);
            const std::size_t n = std::min(count - done, m_bufferLength - at);
            std::memcpy(out + done, m_buffer.data() + at, n);
            done += n;
            m_position += n;
            continue;
        }
        if (m_position >= m_size) {
            break;
        }
        // Large reads bypass the buffer; small ones refill it.
        if (count - done >= m_buffer.size()) {
            const std::size_t n = ReadAt(m_position, out + done, count - done);
            done += n;
            m_position += n;
            break;
        }
        m_bufferStart = m_position;
        m_bufferLength = ReadAt(m_position, m_buffer.data(), m_buffer.size());
        if (m_bufferLength == 0) {
            break;
        }
    }
    return done;
}

void ArchiveFile::Prefetch(std::uint64_t position)
{
    m_bufferStart = position;
    m_bufferLength = position < m_size ? ReadAt(position, m_buffer.data(), m_buffer.size()) : 0;
}

const unsigned char* ArchiveFile::Buffered(std::uint64_t position, std::size_t count) const
{
    if (position < m_bufferStart || position - m_bufferStart > m_bufferLength ||
        count > m_bufferLength - (position - m_bufferStart)) {
        return nullptr;
    }
    return m_buffer.data() + (position - m_bufferStart);
}

void ArchiveFile::ReadExact(void* buffer, std::size_t count)
{
    if (Read(buffer, count) != count) {
        throw EFatalUnzipError(m_path.string());
    }
}

} // namespace archive
