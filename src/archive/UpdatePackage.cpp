#include "archive/UpdatePackage.h"

#include "archive/ArchiveErrors.h"
#include "archive/TArchiveWriter.h"

#include <system_error>

namespace archive {

void UpdatePackage(const std::filesystem::path& package, const std::filesystem::path& folder)
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
    // Package parts such as _rels/.rels begin with a dot; on this platform that makes them hidden
    // files, and skipping them would drop the relationship of a part the save created.
    writer.IncludeHiddenFiles = true;
    writer.UpdateArchive();
}

} // namespace archive
