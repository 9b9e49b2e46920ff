#include "archive/AtomicReplace.h"

#include "archive/ArchiveErrors.h"
#include "archive/ZipOutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace archive {

namespace {

FileIdentity FromStat(const struct stat& st)
{
    FileIdentity id;
    id.Exists = true;
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
    id.Size = static_cast<std::uint64_t>(st.st_size);
    id.MtimeSeconds = st.st_mtim.tv_sec;
    id.MtimeNanoseconds = st.st_mtim.tv_nsec;
    id.Mode = st.st_mode;
    id.Owner = st.st_uid;
    id.Group = st.st_gid;
    return id;
}

std::string ErrorText(const std::filesystem::path& path, int error)
{
    return path.string() + ": " + std::strerror(error);
}

// The process's file creation mask, read without changing it (umask() would, for every thread).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 022;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        // The rename has happened; a folder that cannot be synced (some network file systems)
        // still holds the new package, so this is best effort.
        fsync(dirFd);
        close(dirFd);
    }
}

// Temporary archives of saves that were killed (power loss, SIGKILL) would pile up beside the
// package. A live writer holds an exclusive lock on its temporary file until it is renamed or
// removed, and the system drops the lock when the process dies, so an unlocked one is abandoned.
// The names are the package's own slots, so they are looked up directly, never by listing the
// folder: a bulk save of a folder costs the same per package whatever else the folder holds.
void RemoveAbandonedTemporary(const std::filesystem::path& slot)
{
    const int fd = open(slot.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return;
    }

    // Unlink only while holding the lock and only the file locked: the name may meanwhile belong to
    // a new save (the old file renamed over the package), whose lock we do not hold.
    struct stat locked
    {
    };

    struct stat named
    {
    };

    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &locked) == 0 && lstat(slot.c_str(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
        unlink(slot.c_str());
    }
    close(fd);
}

std::filesystem::path SlotPath(const std::filesystem::path& folder, const std::string& stem, int slot)
{
    return folder / (stem + std::to_string(slot));
}

// Creates and locks the file of the first free slot beside target; -1 when every slot holds a
// live save.
int CreateLockedTemporary(const std::filesystem::path& target,
                          const std::filesystem::path& folder,
                          const std::string& stem,
                          std::filesystem::path& path)
{
    int retries = 100;
    for (int slot = 0; slot < kTemporarySlots; ++slot) {
        path = SlotPath(folder, stem, slot);
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            throw EArchiveIoError(target.string() +
                                  ": cannot create a file beside it: " + std::strerror(errno));
        }

        // Between the creation and the lock another save may have taken the new file for an
        // abandoned one and removed it; then the slot is tried again.
        struct stat ours
        {
        };

        struct stat named
        {
        };

        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &ours) == 0 && lstat(path.c_str(), &named) == 0 &&
            ours.st_dev == named.st_dev && ours.st_ino == named.st_ino) {
            return fd;
        }
        close(fd);
        if (retries-- > 0) {
            --slot;
        }
    }
    return -1;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

bool IsUserAttribute(std::string_view name)
{
    return name.starts_with("user.");
}

// The attributes a replaced file keeps: the user's own (a "downloaded from" mark, tags), its
// security labels and its ACLs. trusted.* and the other system.* attributes belong to the
// administrator's tools and the file system, not to the file.
bool IsKeptAttribute(std::string_view name)
{
    return IsUserAttribute(name) || name.starts_with("security.") || name == "system.posix_acl_access" ||
           name == "system.posix_acl_default";
}

// The file's value of the attribute, or the error number (ENODATA: it is gone) when it cannot be read.
int ReadAttribute(const std::filesystem::path& path, const std::string& name, std::string& value)
{
    for (;;) {
        const ssize_t size = getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            return errno;
        }
        value.resize(static_cast<std::size_t>(size));
        if (size == 0) {
            return 0;
        }
        const ssize_t read = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (read >= 0) {
            value.resize(static_cast<std::size_t>(read));
            return 0;
        }
        if (errno != ERANGE) { // ERANGE: it grew meanwhile
            return errno;
        }
    }
}

// The names of the file's extended attributes; none where its file system keeps none.
std::vector<std::string> AttributeNames(const std::filesystem::path& path)
{
    std::string list;
    for (;;) {
        const ssize_t size = listxattr(path.c_str(), nullptr, 0);
        if (size < 0 && errno == ENOTSUP) {
            return {};
        }
        if (size >= 0) {
            list.resize(static_cast<std::size_t>(size));
            const ssize_t read = size == 0 ? 0 : listxattr(path.c_str(), list.data(), list.size());
            if (read >= 0) {
                list.resize(static_cast<std::size_t>(read));
                break;
            }
        }
        if (errno != ERANGE) {
            throw EArchiveIoError(path.string() +
                                  ": cannot list its extended attributes: " + std::strerror(errno));
        }
    }
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        if (end > start) {
            names.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

// The attributes of the file that a file replacing it keeps. Throws when a user.* one cannot be
// read; a security label or ACL hidden from the process is left out.
Attributes KeptAttributesOf(const std::filesystem::path& path)
{
    Attributes kept;
    for (std::string& name : AttributeNames(path)) {
        if (!IsKeptAttribute(name)) {
            continue;
        }
        std::string value;
        const int error = ReadAttribute(path, name, value);
        if (error == 0) {
            kept.emplace_back(std::move(name), std::move(value));
        } else if (error != ENODATA && IsUserAttribute(name)) {
            throw EArchiveIoError(path.string() + ": cannot read its extended attribute " + name + ": " +
                                  std::strerror(error));
        }
    }
    return kept;
}

// Gives the open file the attributes. One the process may not set (EPERM, ENOTSUP, EACCES…) is
// skipped, unless it is a user.* attribute: then the error names target and attribute.
void GiveAttributes(int fd, const std::filesystem::path& target, const Attributes& attributes)
{
    for (const auto& [name, value] : attributes) {
        if (fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0 && IsUserAttribute(name)) {
            throw EArchiveIoError(target.string() + ": cannot keep its extended attribute " + name + ": " +
                                  std::strerror(errno));
        }
    }
}

} // namespace

std::string TemporaryArchiveStem(const std::filesystem::path& target)
{
    // The name is shortened so that the additions never push it past the file system's limit of
    // 255 bytes.
    return "." + target.filename().string().substr(0, 200) + ".QXV";
}

bool FileIdentity::SameFileAndContent(const FileIdentity& o) const
{
    return Exists == o.Exists && Device == o.Device && Inode == o.Inode && Size == o.Size &&
           MtimeSeconds == o.MtimeSeconds && MtimeNanoseconds == o.MtimeNanoseconds;
}

FileIdentity IdentityOf(const std::filesystem::path& path)
{
    struct stat st
    {
    };

    if (stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return {};
        }
        throw EArchiveIoError(ErrorText(path, errno));
    }
    return FromStat(st);
}

FileIdentity IdentityOf(int fd)
{
    struct stat st
    {
    };

    if (fstat(fd, &st) != 0) {
        throw EArchiveIoError(std::strerror(errno));
    }
    return FromStat(st);
}

void RequirePackageReplaceable(const std::filesystem::path& package, const FileIdentity& identity)
{
    if (!S_ISREG(identity.Mode)) {
        throw EArchiveError("Not a regular file", package.string());
    }
    if ((identity.Mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(package.c_str(), W_OK) != 0) {
        throw EArchiveError("The file is read-only", package.string());
    }
}

std::filesystem::path LinkTarget(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) {
        return path;
    }
    std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target;
}

TemporaryArchive::TemporaryArchive(const std::filesystem::path& target)
    : TemporaryArchive(LinkTarget(target), [&] {
        const std::filesystem::path resolved = LinkTarget(target);
        FileIdentity identity = IdentityOf(resolved);
        if (identity.Exists) {
            RequirePackageReplaceable(resolved, identity);
        }
        return identity;
    }())
{}

TemporaryArchive::TemporaryArchive(const std::filesystem::path& target, const FileIdentity& targetIdentity)
    : m_target(target)
    , m_targetIdentity(targetIdentity)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::string stem = TemporaryArchiveStem(target);
    Attributes attributes = targetIdentity.Exists ? KeptAttributesOf(target) : Attributes{};
    for (int slot = 0; slot < kTemporarySlots; ++slot) {
        RemoveAbandonedTemporary(SlotPath(folder, stem, slot));
    }
    m_fd = CreateLockedTemporary(target, folder, stem, m_path);
    if (m_fd < 0) {
        throw EArchiveIoError(target.string() + ": cannot create a file beside it: " +
                              std::to_string(kTemporarySlots) + " saves of it are running");
    }
    // The lock lives in this second descriptor until the file is renamed or removed, so checking
    // the close of the written one does not release it (see RemoveAbandonedTemporary).
    m_lockFd = dup(m_fd);
    if (m_lockFd < 0) {
        const int error = errno;
        unlink(m_path.c_str());
        CloseFd();
        throw EArchiveIoError(target.string() + ": cannot keep the new file locked: " + std::strerror(error));
    }
    // The user.* attributes go first, while the new file is ours with mode 0600: once it has the
    // target's mode, a package writable only through its group would leave it without the owner's
    // write bit that setting them needs. Changing the owner and mode below leaves them as they are.
    // Security labels and ACLs follow in Commit, after the mode and owner (a change of owner drops
    // some, an ACL sets the group bits of the mode) and after the content (a write drops some).
    Attributes userAttributes;
    for (auto& attribute : attributes) {
        (IsUserAttribute(attribute.first) ? userAttributes : m_laterAttributes)
            .push_back(std::move(attribute));
    }
    try {
        GiveAttributes(m_fd, target, userAttributes);
    } catch (...) {
        unlink(m_path.c_str());
        CloseFd();
        throw;
    }
    // The new package gets the old one's permission bits (or the usual ones for a new file), and
    // its owner and group where we are allowed to set them.
    const mode_t mode = targetIdentity.Exists ? (targetIdentity.Mode & 07777) : (0666 & ~CurrentUmask());
    if (fchmod(m_fd, mode & 0777) != 0) {
        const int error = errno;
        unlink(m_path.c_str());
        CloseFd();
        throw EArchiveIoError(target.string() +
                              ": cannot set the permissions of the new file: " + std::strerror(error));
    }
    if (targetIdentity.Exists) {
        const struct stat ours = [this] {
            struct stat st
            {
            };
            fstat(m_fd, &st);
            return st;
        }();
        if (ours.st_uid != targetIdentity.Owner || ours.st_gid != targetIdentity.Group) {
            if (fchown(m_fd, targetIdentity.Owner, targetIdentity.Group) != 0) {
                [[maybe_unused]] const int ignored =
                    fchown(m_fd, static_cast<uid_t>(-1), targetIdentity.Group);
            }
        }
    }
}

TemporaryArchive::~TemporaryArchive()
{
    // Removed before the lock goes, so no other save ever takes it for an abandoned one.
    if (!m_committed) {
        unlink(m_path.c_str());
    }
    CloseFd();
}

void TemporaryArchive::CloseFd()
{
    for (int* fd : {&m_fd, &m_lockFd}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void TemporaryArchive::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ThrowWriteError(written < 0 ? errno : ENOSPC, m_target.string());
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void TemporaryArchive::Commit()
{
    GiveAttributes(m_fd, m_target, m_laterAttributes);
    if (fsync(m_fd) != 0) {
        ThrowWriteError(errno, m_target.string());
    }
    if (close(m_fd) != 0) {
        m_fd = -1;
        throw EArchiveIoError(m_target.string() + ": cannot close the new file: " + std::strerror(errno));
    }
    m_fd = -1;

    const FileIdentity now = IdentityOf(m_target);
    if (m_targetIdentity.Exists) {
        if (!now.SameFileAndContent(m_targetIdentity)) {
            throw EArchiveError(now.Exists ? "The file was changed by someone else during the update"
                                           : "The file disappeared during the update",
                                m_target.string());
        }
        RequirePackageReplaceable(m_target, now);
        if (std::rename(m_path.c_str(), m_target.c_str()) != 0) {
            throw EArchiveIoError(m_target.string() + ": cannot replace it: " + std::strerror(errno));
        }
    } else {
        // A file that appeared under the name meanwhile is someone else's: never overwrite it.
        if (renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) {
                throw EArchiveError("Another file appeared under the name during the update",
                                    m_target.string());
            }
            if (errno != EINVAL && errno != ENOSYS) {
                throw EArchiveIoError(m_target.string() + ": cannot create it: " + std::strerror(errno));
            }
            if (link(m_path.c_str(), m_target.c_str()) != 0) {
                throw EArchiveIoError(m_target.string() + ": cannot create it: " + std::strerror(errno));
            }
            unlink(m_path.c_str());
        }
    }
    m_committed = true;
    CloseFd();
    SyncFolder(m_target.has_parent_path() ? m_target.parent_path() : ".");
}

void ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes)
{
    TemporaryArchive file(target);
    file.Write(bytes);
    file.Commit();
}

} // namespace archive
