#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Replacing a file (a package, an export) by new content so that it is never missing, empty or
// half-written: the content is written beside it, forced to disk and renamed over it.
namespace archive {

// Who a file is, to notice that it was replaced or changed between reading and replacing it.
struct FileIdentity
{
    bool Exists = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::uint64_t Size = 0;
    std::int64_t MtimeSeconds = 0;
    std::int64_t MtimeNanoseconds = 0;
    std::uint32_t Mode = 0;
    std::uint32_t Owner = 0;
    std::uint32_t Group = 0;

    [[nodiscard]] bool SameFileAndContent(const FileIdentity& other) const;
};

FileIdentity IdentityOf(const std::filesystem::path& path);
FileIdentity IdentityOf(int fd);

// Throws when the file may not be replaced: not writable for us, or without any write bit (root
// passes the access test, so the mode decides too), or not a regular file.
void RequirePackageReplaceable(const std::filesystem::path& package, const FileIdentity& identity);

// The file a symbolic link names (so that it gets the new content and the link stays a link), or
// path itself when it is no link or the link cannot be followed.
std::filesystem::path LinkTarget(const std::filesystem::path& path);

// How many saves of one package may write their temporary archives at the same time.
inline constexpr int kTemporarySlots = 8;

// The names of a target's temporary archives are this stem followed by a slot number from 0 to
// kTemporarySlots - 1: hidden, and found again by the next save of the same target.
std::string TemporaryArchiveStem(const std::filesystem::path& target);

// A new, hidden file in the target's folder, with the target's permissions, owner and group (or
// those of any new file) and its extended attributes: every user.* attribute, and the security.*
// ones and the POSIX ACLs (system.posix_acl_access, system.posix_acl_default) where the process may
// set them. A user.* attribute that cannot be read or given to the new file throws, so that the
// target is left as it is rather than replaced without it; the others are skipped when refused. It
// is removed on destruction unless Commit succeeded, and an abandoned one (its writer killed) is
// removed by the next save of the same target.
class TemporaryArchive
{
public:
    // targetIdentity is what the caller read and checked; Commit refuses a target changed since.
    TemporaryArchive(const std::filesystem::path& target, const FileIdentity& targetIdentity);
    // For any file: a link is followed, and an existing target must be replaceable right away.
    explicit TemporaryArchive(const std::filesystem::path& target);
    ~TemporaryArchive();
    TemporaryArchive(const TemporaryArchive&) = delete;
    TemporaryArchive& operator=(const TemporaryArchive&) = delete;

    [[nodiscard]] int Fd() const { return m_fd; }

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

    // Appends bytes at the end of what Fd() holds; a full disk throws ENotEnoughRoom.
    void Write(std::string_view bytes);

    // All data must have been written to Fd(). Gives it the target's security.* attributes and ACLs,
    // forces it to disk, checks that the target is still the file it was, renames the temporary file
    // over it and forces the folder entry to disk.
    void Commit();

private:
    void CloseFd();

    std::filesystem::path m_target;
    FileIdentity m_targetIdentity;
    std::filesystem::path m_path;
    int m_fd = -1;
    int m_lockFd = -1;
    bool m_committed = false;
    // The target's security.* attributes and ACLs (name, value), given to the new file by Commit.
    std::vector<std::pair<std::string, std::string>> m_laterAttributes;
};

// Gives target the content bytes through a TemporaryArchive, with all its guarantees.
void ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes);

} // namespace archive
