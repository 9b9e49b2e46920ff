#pragma once

#include <string>

namespace engine {

// The path as tables carry it, so that they can be used from any working folder: absolute, without
// "." and ".." steps (symbolic links are kept, as the user named them).
[[nodiscard]] std::string AbsolutePath(const std::string& path);

} // namespace engine
