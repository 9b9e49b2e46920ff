#include "archive/FileHelpers.h"

#include "archive/ZipFormat.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace archive {

bool DirExists(const std::filesystem::path& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

void ForceDirs(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!path.empty()) {
        std::filesystem::create_directories(path, ec);
    }
}

std::string StripTrailingBackslash(const std::string& path)
{
    if (!path.empty() && (path.back() == '\\' || (path.back() == '/' && path.size() > 1))) {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

void ApplyExternalAttributes(const std::filesystem::path& path,
                             std::uint8_t hostSystem,
                             std::uint32_t externalAttributes,
                             bool isDirectory)
{
    const bool unixHost = hostSystem == kHostUnix && (externalAttributes >> 16) != 0;
    const bool dosReadOnly = !unixHost && !isDirectory && (externalAttributes & 0x01) != 0;
    if (!unixHost && !dosReadOnly) {
        return; // DOS hidden, system and archive bits have no meaning here
    }
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0) {
        return;
    }
    mode_t mode = st.st_mode & 07777;
    if (unixHost) {
        // Never set-uid/set-gid/sticky; the owner must keep reading what we extracted, and must be able
        // to enter and fill a folder.
        mode = static_cast<mode_t>((externalAttributes >> 16) & 0777) | S_IRUSR |
               (isDirectory ? (S_IWUSR | S_IXUSR) : 0);
    } else {
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    }
    ::chmod(path.c_str(), mode);
}

void SetFileTime(const std::filesystem::path& path, std::time_t time)
{
    const struct timespec times[2] = {{time, 0}, {time, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace archive
