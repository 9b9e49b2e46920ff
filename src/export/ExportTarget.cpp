#include "export/ExportTarget.h"

#include "archive/AtomicReplace.h"
#include "engine/package/OfficeExtensions.h"
#include "export/PackageByContent.h"

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

// Why the file's content makes it a package written must not replace; nothing when it is none, or
// one of written's own kind.
std::optional<std::string> ContentProblem(const std::filesystem::path& file, const WrittenFile& written)
{
    const PackageContent content = PackageByContent(file, written.MainContentType);
    const std::string never = ", and " + std::string(written.Writer) + " never replaces one";
    switch (content.What) {
    case PackageContent::Kind::NotAPackage:
        return std::nullopt;
    case PackageContent::Kind::OfficeOpenXml:
        if (content.DeclaresContentType && !written.Extension.empty() &&
            LowerExtension(file.string()) == written.Extension.substr(1)) {
            return std::nullopt;
        }
        return "is an Office package by its content (it holds [Content_Types].xml)" + never;
    case PackageContent::Kind::OpenDocument:
        return "is an OpenDocument package by its content (it holds mimetype)" + never;
    case PackageContent::Kind::CompoundFile:
        return "is an Office compound file by its content (an encrypted package or a legacy document)" +
               never;
    case PackageContent::Kind::Unreadable:
        return "cannot be read to make sure it is no package (" + content.Reason + ")";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> OutputTargetProblem(const std::string& target,
                                               const std::vector<std::string>& packages,
                                               const WrittenFile& written)
{
    if (target == kStandardOutputTarget) {
        return std::nullopt;
    }
    // The write replaces the file a link names, so that file is the one decided on.
    const std::string resolved = archive::LinkTarget(target).string();
    const std::string named = resolved == target ? target : target + " (a link to " + resolved + ")";

    struct stat targetStat
    {
    };

    if (stat(resolved.c_str(), &targetStat) == 0) {
        for (const std::string& package : packages) {
            struct stat packageStat
            {
            };

            if (stat(package.c_str(), &packageStat) == 0 && packageStat.st_dev == targetStat.st_dev &&
                packageStat.st_ino == targetStat.st_ino) {
                return named + ": is one of the packages being " + std::string(written.PackagesAre) +
                       "; choose another output file";
            }
        }
    }
    const std::string extension = LowerExtension(resolved);
    const std::string_view own = written.Extension.empty() ? written.Extension : written.Extension.substr(1);
    const bool packageKind = std::find(engine::kOfficeExtensions.begin(), engine::kOfficeExtensions.end(),
                                       extension) != engine::kOfficeExtensions.end();
    if (packageKind && extension != own) {
        return named + ": a ." + extension + " file is a package, and " + std::string(written.Writer) +
               " never replaces one; " +
               (own.empty() ? std::string("choose another output file")
                            : "choose a name ending in " + std::string(written.Extension));
    }
    if (auto problem = ContentProblem(resolved, written)) {
        return named + ": " + *problem + "; choose another output file";
    }
    return std::nullopt;
}

std::optional<std::string>
ExportTargetProblem(ExportFormat format, const std::string& target, const std::vector<std::string>& packages)
{
    return OutputTargetProblem(
        target, packages,
        WrittenFile{"an export", "exported", TextsOf(format).Extension,
                    format == ExportFormat::Spreadsheet ? kWorkbookContentType : std::string_view()});
}

} // namespace exporting
