#include "export/ReplacementFile.h"

#include "export/ExportError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace exporting {
namespace {

std::filesystem::path ResolveLink(const std::filesystem::path& target)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec)) {
        return target;
    }
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
}

std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    return ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random());
}

} // namespace

ReplacementFile::ReplacementFile(std::filesystem::path target)
    : m_target(ResolveLink(target))
{
    struct stat existing
    {
    };

    const bool exists = stat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        Fail("Cannot write", EISDIR);
    }
    for (int attempt = 0; m_fd < 0; ++attempt) {
        // The target's name identifies a leftover temporary file; it is shortened so that the
        // suffix never pushes the name past the file system's limit.
        std::string name = m_target.filename().string().substr(0, 160);
        m_tempPath = m_target.parent_path() / (name + UniqueSuffix());
        // 0666 lets the umask decide, as for any newly created file.
        m_fd = open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt >= 100)) {
            Fail("Cannot create a file beside", errno);
        }
    }
    // A replaced file keeps its permissions.
    if (exists) {
        (void)fchmod(m_fd, existing.st_mode & 07777);
    }
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd >= 0) {
        close(m_fd);
    }
    if (!m_committed && !m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
    }
}

void ReplacementFile::Fail(const std::string& what, int error) const
{
    throw EExportError(what + " " + m_target.string() + ": " + std::strerror(error), std::strerror(error));
}

void ReplacementFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ReplacementFile::Commit()
{
    // fsync on this descriptor also covers what another writer put into the same file by its name.
    if (fsync(m_fd) != 0) {
        Fail("Cannot write", errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) {
        Fail("Cannot write", errno);
    }
    if (rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
        Fail("Cannot replace", errno);
    }
    m_committed = true;
    // Make the rename itself durable; a failure here no longer endangers either content.
    const std::filesystem::path folder = m_target.has_parent_path() ? m_target.parent_path() : ".";
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)fsync(dirFd);
        close(dirFd);
    }
}

} // namespace exporting
