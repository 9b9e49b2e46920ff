#pragma once

#include <string>

namespace engine {

// A key that every name of one package shares (repeated, relative, through a folder or a symbolic
// link): its device and inode while it exists, else its absolute path with links resolved. Hard
// links are packages of their own: a save replaces the file under one name with a new one, so
// each name must be saved, and the key of a file with more than one link is its resolved path.
[[nodiscard]] std::string SamePackageKey(const std::string& path);

} // namespace engine
