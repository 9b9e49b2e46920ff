#include "cli/LoadRows.h"

#include "cli/Diagnostics.h"
#include "engine/adding/AddDocument.h"
#include "engine/adding/AppendLoadedRows.h"
#include "engine/adding/ScanFolder.h"
#include "engine/base/PathMessage.h"

namespace cli {

engine::VectorDocumentList LoadRows(const std::vector<std::string>& paths,
                                    std::vector<std::string>* unreadablePaths,
                                    const engine::Progress& progress,
                                    const std::string& extensionList)
{
    engine::VectorDocumentList rows;
    // Consecutive files are loaded as one parallel batch; folders load their own files in parallel.
    std::vector<engine::ScannedFile> batch;
    const auto flush = [&] {
        engine::AppendLoadedRows(rows, batch, progress);
        batch.clear();
    };
    const auto unreadable = [&](const std::string& path, const std::string& message) {
        if (unreadablePaths != nullptr) {
            unreadablePaths->push_back(engine::PathMessage(path, message));
        }
    };
    for (const std::string& path : paths) {
        engine::PathOnDisk found = engine::InspectPath(path);
        switch (found.What) {
        case engine::PathOnDisk::Kind::Folder: {
            flush();
            const std::size_t before = rows.RowCount();
            std::vector<engine::ScanProblem> problems;
            engine::AddDocumentFolder(rows, path, engine::kPackageFilterMode, extensionList, progress,
                                      &problems);
            for (const engine::ScanProblem& problem : problems) {
                if (unreadablePaths != nullptr) {
                    unreadablePaths->push_back(engine::PathMessage(problem.Path, problem.Reason));
                }
            }
            if (rows.RowCount() == before && !progress.Cancelled()) {
                unreadable(path, "no packages found");
            }
            break;
        }
        case engine::PathOnDisk::Kind::File:
            batch.push_back(std::move(*found.File));
            break;
        case engine::PathOnDisk::Kind::Missing:
        case engine::PathOnDisk::Kind::Other:
            unreadable(path, found.Problem);
            break;
        }
    }
    flush();
    return rows;
}

std::size_t ReportLoadErrors(const engine::DocumentList& rows)
{
    std::size_t failed = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const engine::DocumentRecord& record = rows.RecordAt(row);
        if (!record.LastError.empty()) {
            Complain(record.FullPath, record.LastError);
            ++failed;
        }
    }
    return failed;
}

} // namespace cli
