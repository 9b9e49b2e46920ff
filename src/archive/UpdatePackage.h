#pragma once

#include <filesystem>

namespace archive {

// Writes the files of the folder back into the package: members with a file of the same stored
// path are recompressed in place, new files are appended, every other member is copied unchanged.
// Throws on any failure (missing package or folder, unreadable package or file, read-only package,
// full disk); the package is then exactly as it was.
void UpdatePackage(const std::filesystem::path& package, const std::filesystem::path& folder);

} // namespace archive
