#include "engine/base/CanonicalPath.h"

#include <filesystem>
#include <system_error>

namespace engine {

std::string CanonicalPath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    const fs::path canonical = fs::weakly_canonical(ec ? fs::path(path) : absolute, ec);
    return ec ? absolute.lexically_normal().string() : canonical.string();
}

} // namespace engine
