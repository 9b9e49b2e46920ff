#pragma once

#include "archive/AtomicReplace.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

// What a caller may add to an update (see the members of TArchiveWriter of the same names).
struct UpdateHooks
{
    std::vector<std::string> RemoveMembers;
    std::optional<FileIdentity> ExpectedArchive;
    std::function<void(std::string_view)> OnArchiveBytes;
    std::function<void(int fd)> BeforeReplace;
};

// Writes the files of the folder back into the package: members with a file of the same stored
// path are recompressed in place, new files are appended, every other member is copied unchanged.
// Throws on any failure (missing package or folder, unreadable package or file, read-only package,
// full disk); the package is then exactly as it was.
void UpdatePackage(const std::filesystem::path& package,
                   const std::filesystem::path& folder,
                   const UpdateHooks& hooks = {});

} // namespace archive
