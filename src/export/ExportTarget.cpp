#include "export/ExportTarget.h"

#include "engine/package/OfficeExtensions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>

namespace exporting {
namespace {

std::string LowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages)
{
    if (target == kStandardOutputTarget) {
        return std::nullopt;
    }

    struct stat targetStat
    {
    };

    if (stat(target.c_str(), &targetStat) == 0) {
        for (const std::string& package : packages) {
            struct stat packageStat
            {
            };

            if (stat(package.c_str(), &packageStat) == 0 && packageStat.st_dev == targetStat.st_dev &&
                packageStat.st_ino == targetStat.st_ino) {
                return target + ": is one of the packages being exported; choose another output file";
            }
        }
    }
    const std::string extension = LowerExtension(target);
    const std::string_view written = TextsOf(format).Extension.substr(1);
    const bool packageKind = std::find(engine::kOfficeExtensions.begin(), engine::kOfficeExtensions.end(),
                                       extension) != engine::kOfficeExtensions.end();
    if (packageKind && extension != written) {
        return target + ": a ." + extension + " file is a package, and an export never replaces one; " +
               "choose a name ending in " + std::string(TextsOf(format).Extension);
    }
    return std::nullopt;
}

} // namespace exporting
