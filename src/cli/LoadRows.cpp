#include "cli/LoadRows.h"

#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "engine/adding/AddDocument.h"
#include "engine/adding/LoadInBatches.h"
#include "engine/adding/ScanFolder.h"
#include "engine/base/PathMessage.h"

namespace cli {

void StreamRows(const std::vector<std::string>& paths,
                const std::string& extensionList,
                const engine::BatchHandler& onBatch,
                const std::function<void(std::string)>& onProblem,
                const engine::Progress& progress)
{
    // Consecutive files are loaded together (a batch at a time); folders load their own files.
    std::vector<engine::ScannedFile> files;
    const auto flush = [&] {
        engine::LoadInBatches(files, progress, onBatch);
        files.clear();
    };
    for (const std::string& path : paths) {
        if (progress.Cancelled()) {
            break;
        }
        engine::PathOnDisk found = engine::InspectPath(path);
        switch (found.What) {
        case engine::PathOnDisk::Kind::Folder: {
            flush();
            std::vector<engine::ScanProblem> problems;
            std::size_t rows = 0;
            bool reported = false;
            const auto reportProblems = [&] {
                for (const engine::ScanProblem& problem : problems) {
                    onProblem(engine::PathMessage(problem.Path, problem.Reason));
                }
                reported = true;
            };
            rows = engine::LoadFolderInBatches(
                path, engine::kPackageFilterMode, extensionList, progress,
                [&](engine::VectorDocumentList& batch) {
                    if (!reported) {
                        reportProblems(); // the walk is over before the first batch is loaded
                    }
                    onBatch(batch);
                },
                &problems);
            if (!reported) {
                reportProblems();
            }
            if (rows == 0 && !progress.Cancelled()) {
                onProblem(engine::PathMessage(path, "no packages found"));
            }
            break;
        }
        case engine::PathOnDisk::Kind::File:
            files.push_back(std::move(*found.File));
            if (files.size() == engine::kLoadBatchRows) {
                flush();
            }
            break;
        case engine::PathOnDisk::Kind::Missing:
        case engine::PathOnDisk::Kind::Other:
            onProblem(engine::PathMessage(path, found.Problem));
            break;
        }
    }
    flush();
}

std::function<void(std::string)> ComplainCounting(std::size_t& failed)
{
    return [&failed](const std::string& problem) {
        SyncStandardOutput();
        Complain(problem);
        ++failed;
    };
}

engine::VectorDocumentList LoadRows(const std::vector<std::string>& paths,
                                    std::vector<std::string>* unreadablePaths,
                                    const engine::Progress& progress,
                                    const std::string& extensionList)
{
    engine::VectorDocumentList rows;
    StreamRows(
        paths, extensionList, [&](engine::VectorDocumentList& batch) { rows.AppendRows(batch.TakeRows()); },
        [&](std::string line) {
            if (unreadablePaths != nullptr) {
                unreadablePaths->push_back(std::move(line));
            }
        },
        progress);
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
