#include "engine/adding/AddDocument.h"

#include "engine/adding/AppendLoadedRows.h"
#include "engine/adding/ScanFolder.h"

namespace engine {

namespace {

std::vector<ScannedFile> AcceptedFiles(const std::vector<std::string>& paths)
{
    std::vector<ScannedFile> files;
    for (const std::string& path : paths) {
        std::optional<ScannedFile> file = DescribeFile(path);
        if (file && file->Size > kMinPackageSize) {
            files.push_back(std::move(*file));
        }
    }
    return files;
}

} // namespace

void AddDocumentFile(DocumentList& list, const std::string& path, const Progress& progress)
{
    AppendLoadedRows(list, AcceptedFiles({path}), progress);
}

void AddDocumentFiles(DocumentList& list, const std::vector<std::string>& paths, const Progress& progress)
{
    try {
        UpdateScope scope(list);
        AppendLoadedRows(list, AcceptedFiles(paths), progress);
    } catch (...) {
        // Rows appended so far stay; a failing list must not end the caller's command here.
    }
}

void AddDocumentFolder(DocumentList& list,
                       const std::string& folder,
                       const std::string& filterMode,
                       const std::string& extensionList,
                       const Progress& progress,
                       std::vector<ScanProblem>* problems)
{
    try {
        UpdateScope scope(list);
        AppendLoadedRows(list, ScanFolderFilesToLoad(folder, filterMode, extensionList, problems), progress);
    } catch (...) {
        // Adding a folder never fails; the rows appended so far stay.
    }
}

} // namespace engine
