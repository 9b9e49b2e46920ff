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

std::optional<std::string> OutputTargetProblem(const std::string& target,
                                               const std::vector<std::string>& packages,
                                               const WrittenFile& written)
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
                return target + ": is one of the packages being " + std::string(written.PackagesAre) +
                       "; choose another output file";
            }
        }
    }
    const std::string extension = LowerExtension(target);
    const std::string_view own = written.Extension.empty() ? written.Extension : written.Extension.substr(1);
    const bool packageKind = std::find(engine::kOfficeExtensions.begin(), engine::kOfficeExtensions.end(),
                                       extension) != engine::kOfficeExtensions.end();
    if (packageKind && extension != own) {
        return target + ": a ." + extension + " file is a package, and " + std::string(written.Writer) +
               " never replaces one; " +
               (own.empty() ? std::string("choose another output file")
                            : "choose a name ending in " + std::string(written.Extension));
    }
    return std::nullopt;
}

std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages)
{
    return OutputTargetProblem(target, packages,
                               WrittenFile{"an export", "exported", TextsOf(format).Extension});
}

} // namespace exporting
