#include "engine/adding/LoadInBatches.h"

#include "engine/adding/AppendLoadedRows.h"

#include <algorithm>
#include <iterator>

namespace engine {

std::size_t LoadInBatches(const std::vector<ScannedFile>& files, const Progress& progress, const BatchHandler& onBatch)
{
    std::size_t handedOn = 0;
    VectorDocumentList batch;
    std::vector<ScannedFile> slice;
    for (std::size_t at = 0; at < files.size() && !progress.Cancelled(); at += kLoadBatchRows) {
        const auto from = files.begin() + static_cast<std::ptrdiff_t>(at);
        slice.assign(from, from + static_cast<std::ptrdiff_t>(std::min(kLoadBatchRows, files.size() - at)));
        AppendLoadedRows(batch, slice, progress);
        handedOn += batch.RowCount();
        if (batch.RowCount() > 0) {
            onBatch(batch);
        }
        batch.TakeRows(); // dropped: the next batch starts empty
    }
    return handedOn;
}

std::size_t LoadFolderInBatches(const std::string& folder,
                                const std::string& filterMode,
                                const std::string& extensionList,
                                const Progress& progress,
                                const BatchHandler& onBatch,
                                std::vector<ScanProblem>* problems)
{
    return LoadInBatches(ScanFolderFilesToLoad(folder, filterMode, extensionList, problems), progress,
                         onBatch);
}

} // namespace engine
