#include "engine/package/SamePackage.h"

#include "engine/base/CanonicalPath.h"

#include <sys/stat.h>

namespace engine {

std::string SamePackageKey(const std::string& path)
{
    struct stat st
    {
    };

    if (stat(path.c_str(), &st) == 0 && st.st_nlink <= 1) {
        return "inode:" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    }
    return "path:" + CanonicalPath(path);
}

} // namespace engine
