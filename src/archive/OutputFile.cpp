#include "archive/OutputFile.h"

#include "archive/ArchiveErrors.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace archive {
namespace {

std::string UniqueSuffix()
{
    // Process id, a process-wide counter and the clock: unique enough, and O_EXCL settles collisions.
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char text[64];
    std::snprintf(text, sizeof text, "%x-%x-%llx", static_cast<unsigned>(::getpid()), counter.fetch_add(1),
                  static_cast<unsigned long long>(ticks) & 0xFFFFFF);
    return text;
}

} // namespace

OutputFile::OutputFile(const std::filesystem::path& target)
    : m_target(target)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A dot name: hidden from folder walks, so a leftover can never be packed into an archive.
        m_temporary = target.parent_path() / (".vmx-" + UniqueSuffix());
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (m_fd < 0) {
        throw ECantWriteUCF(target.string() + ": " + std::strerror(errno));
    }
}

OutputFile::~OutputFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_committed) {
        ::unlink(m_temporary.c_str());
    }
}

void OutputFile::Write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == ENOSPC || errno == EDQUOT) {
                throw ENotEnoughRoom(m_target.string() + ": " + std::strerror(errno));
            }
            throw ECantWriteUCF(m_target.string() + ": " + std::strerror(errno));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::Close()
{
    if (m_fd >= 0) {
        const int rc = ::close(m_fd);
        m_fd = -1;
        if (rc != 0) {
            throw ECantWriteUCF(m_target.string() + ": " + std::strerror(errno));
        }
    }
}

void OutputFile::Commit()
{
    Close();
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        throw ECantWriteUCF(m_target.string() + ": " + std::strerror(errno));
    }
    m_committed = true;
}

} // namespace archive
