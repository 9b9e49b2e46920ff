#include "engine/base/AbsolutePath.h"

#include <filesystem>
#include <system_error>

namespace engine {

std::string AbsolutePath(const std::string& path)
{
    if (path.empty()) {
        return path;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

} // namespace engine
