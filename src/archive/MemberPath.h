#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace archive {

// The path, relative to the destination folder, where a member with this (normalised) name lands:
// its whole stored path with recreateDirs, otherwise only its file name. Empty and "." steps are
// dropped. Nothing when the name could reach outside the folder (a ".." step, an absolute path, a drive
// letter, a NUL byte) or names nothing at all.
std::optional<std::filesystem::path> SafeMemberPath(std::string_view name, bool recreateDirs);

} // namespace archive
