#pragma once

#include <string>

namespace engine {

// A key that every name of one file shares (repeated, relative, through a folder or a symbolic
// link, a hard link): its device and inode while it exists, else its absolute path.
[[nodiscard]] std::string SamePackageKey(const std::string& path);

} // namespace engine
