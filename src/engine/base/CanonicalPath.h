#pragma once

#include <string>

namespace engine {

// The absolute path with every symbolic link resolved, so that relative paths, repeated names and
// links of one package meet: the journal records a package under it. A path that cannot be resolved
// (it does not exist yet) is made absolute and normal instead.
[[nodiscard]] std::string CanonicalPath(const std::string& path);

} // namespace engine
