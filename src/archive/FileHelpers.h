#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

// Folder helpers shared by extraction and update.
namespace archive {

// True when the path names an existing folder (a link to one counts).
bool DirExists(const std::filesystem::path& path);

// Creates the folder and every missing parent. Failures are not reported here: whoever writes into the
// folder finds out.
void ForceDirs(const std::filesystem::path& path);

// Removes one trailing separator ('\' or '/') from a non-empty text.
std::string StripTrailingBackslash(const std::string& path);

// Applies a member's stored attributes to an extracted file or folder. Unix hosts: the permission bits
// (0777 only), keeping the owner able to read (and, for folders, to enter and write); other hosts: the
// DOS read-only bit removes write permission from files. Failures are ignored.
void ApplyExternalAttributes(const std::filesystem::path& path,
                             std::uint8_t hostSystem,
                             std::uint32_t externalAttributes,
                             bool isDirectory);

// Sets the last-write (and access) time; failures are ignored.
void SetFileTime(const std::filesystem::path& path, std::time_t time);

} // namespace archive
