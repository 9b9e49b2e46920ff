#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Replacing a package by a newly written archive so that the package is never missing, empty or
// half-written: the archive is written beside it, forced to disk and renamed over it.
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

// How many saves of one package may write their temporary archives at the same time.
inline constexpr int kTemporarySlots = 8;

// The names of a target's temporary archives are this stem followed by a slot number from 0 to
// kTemporarySlots - 1: hidden, and found again by the next save of the same target.
std::string TemporaryArchiveStem(const std::filesystem::path& target);

// A new, hidden file in the target's folder. It is removed on destruction unless Commit succeeded.
class TemporaryArchive
{
public:
    TemporaryArchive(const std::filesystem::path& target, const FileIdentity& targetIdentity);
    ~TemporaryArchive();
    TemporaryArchive(const TemporaryArchive&) = delete;
    TemporaryArchive& operator=(const TemporaryArchive&) = delete;

    [[nodiscard]] int Fd() const { return m_fd; }

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

    // All data must have been written to Fd(). Forces it to disk, checks that the target is still
    // the file it was, renames the temporary file over it and forces the folder entry to disk.
    void Commit();

private:
    void CloseFd();

    std::filesystem::path m_target;
    FileIdentity m_targetIdentity;
    std::filesystem::path m_path;
    int m_fd = -1;
    int m_lockFd = -1;
    bool m_committed = false;
};

} // namespace archive
