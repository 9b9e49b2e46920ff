#include "reliability/SandboxChecks.h"

#include "support/TempDir.h"

#include <algorithm>
#include <system_error>

namespace reliability {
namespace fs = std::filesystem;

std::vector<std::string> EntryNames(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<fs::path> FindEscapedMarkers(const fs::path& root, const std::string& marker)
{
    std::vector<fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->path().filename() == marker) {
            found.push_back(it->path());
        }
    }
    for (fs::path dir = root.parent_path();; dir = dir.parent_path()) {
        if (fs::exists(fs::symlink_status(dir / marker, ec))) {
            found.push_back(dir / marker);
            fs::remove_all(dir / marker, ec);
        }
        if (dir == dir.parent_path()) {
            break;
        }
    }
    return found;
}

engine::DocumentRecord RecordFor(const fs::path& package)
{
    engine::DocumentRecord record;
    record.FullPath = package.string();
    record.FileName = package.filename().string();
    record.FileType = "file";
    return record;
}

void Edit(engine::DocumentRecord& record, std::size_t p, const std::string& value)
{
    record.Value(p) = value;
    record.SetChanged(p, true);
    record.Modified = true;
}

bool PythonFindsZipSound(const fs::path& package)
{
    int exitCode = -1;
    testsupport::RunCommand("python3 -c 'import sys, zipfile; sys.exit(1 if zipfile.ZipFile(sys.argv[1]).testzip() "
                            "else 0)' '" +
                                package.string() + "' 2>/dev/null",
                            &exitCode);
    return exitCode == 0;
}

} // namespace reliability
