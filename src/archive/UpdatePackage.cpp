#include "archive/UpdatePackage.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveWriter.h"

#include <system_error>

namespace archive {

void UpdatePackage(const std::filesystem::path& package,
                   const std::filesystem::path& folder,
                   const UpdateHooks& hooks)
{
    std::error_code ec;
    // The folder is always an unpacked copy of an existing package; without the package the
    // members that were never unpacked would be lost, so it is not recreated from the folder.
    if (!std::filesystem::is_regular_file(package, ec)) {
        throw EArchiveError("Package not found", package.string());
    }
    if (!std::filesystem::is_directory(folder, ec)) {
        throw EArchiveError("Folder not found", folder.string());
    }
    TArchiveWriter writer;
    writer.SetRootDir(folder.string());
    writer.ZipName = package;
    std::string root = writer.RootDir();
    root.pop_back();
    writer.FilesList = {root + "/*.*"};
    writer.SetRecurse(true);
    writer.SetStorePaths(true);
    writer.ZipAction = TZipAction::zaReplace;
    writer.SetRelativePaths(true);
    // The package relationships part "_rels/.rels" begins with a dot, which makes it a hidden file
    // here; it must come back even when the save created it. Other hidden files are not package
    // content, unless they are unpacked members.
    writer.HiddenIncludeList = {"_rels/.rels"};
    writer.RemoveMembers = hooks.RemoveMembers;
    writer.ExpectedArchive = hooks.ExpectedArchive;
    writer.OnArchiveBytes = hooks.OnArchiveBytes;
    writer.BeforeReplace = hooks.BeforeReplace;
    writer.UpdateArchive();
}

} // namespace archive
