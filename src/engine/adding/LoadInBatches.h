#pragma once

#include "engine/adding/ScanFolder.h"
#include "engine/base/Progress.h"
#include "engine/record/DocumentList.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Loading for a consumer that writes each row out and forgets it (a listing of a whole file
// share): rows come a batch at a time, in order, and a batch is dropped once handed on, so memory
// holds one batch of records however many packages there are.
namespace engine {

// How many rows a batch holds: enough to keep every worker busy, few enough to stay small
// (a record is about 2 KiB).
inline constexpr std::size_t kLoadBatchRows = 256;

using BatchHandler = std::function<void(VectorDocumentList& batch)>;

// Loads files as AppendLoadedRows does, kLoadBatchRows at a time, handing each batch of checked
// rows to onBatch (which may take them) and then dropping it. Returns how many rows were handed on.
// A cancel request hands on the rows loaded so far and loads no more.
std::size_t LoadInBatches(const std::vector<ScannedFile>& files, const Progress& progress, const BatchHandler& onBatch);

// The rows of the accepted files below folder (as AddDocumentFolder adds them), handed on in
// batches through LoadInBatches; what the walk could not list or examine is appended to problems
// before the first batch. Returns how many rows were handed on.
std::size_t LoadFolderInBatches(const std::string& folder,
                                const std::string& filterMode,
                                const std::string& extensionList,
                                const Progress& progress,
                                const BatchHandler& onBatch,
                                std::vector<ScanProblem>* problems = nullptr);

} // namespace engine
