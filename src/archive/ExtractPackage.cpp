#include "archive/ExtractPackage.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveReader.h"

namespace archive {

void ExtractPackage(const std::filesystem::path& package,
                    const std::filesystem::path& folder,
                    const std::vector<std::string>& masks)
{
    TArchiveReader reader;
    reader.DestDir = folder;
    reader.ZipName = package;
    reader.KeepZipOpen = true;
    reader.OpenDirectory();
    reader.FilesList = masks;
    reader.DoAll = false;
    reader.RecreateDirs = true;
    reader.RetainAttributes = true;
    reader.ExtractMembers();
    // Members lost to damaged data would silently read as missing parts; name the first one instead.
    for (const TSkippedMember& skipped : reader.Skipped()) {
        if (skipped.DataError) {
            throw EArchiveError(package.string() + ": " + skipped.Reason);
        }
    }
}

} // namespace archive
