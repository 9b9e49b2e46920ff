#pragma once

#include "engine/adding/AddDocument.h"
#include "engine/adding/LoadInBatches.h"
#include "engine/base/Progress.h"
#include "engine/record/DocumentList.h"

#include <functional>
#include <string>
#include <vector>

namespace cli {

// Rows for the command-line paths, in their order: a folder adds its packages as Add Folder does
// (recursive, extensionList, "*.pptx;" unless asked otherwise); a file is one row whatever its name or size,
// so that a file named on the command line is never dropped without a word. Paths that name neither, and
// folders that hold no package of the chosen kinds, and what a folder walk could not list or examine,
// are listed in unreadablePaths as "path: reason" (print them with Complain).
// The rows LoadRows gives, handed to onBatch a batch at a time (in order, at most
// engine::kLoadBatchRows rows) as soon as they are loaded, so that a command that writes each row
// out holds one batch however many packages there are; what LoadRows lists in unreadablePaths goes
// to onProblem as it is found.
void StreamRows(const std::vector<std::string>& paths,
                const std::string& extensionList,
                const engine::BatchHandler& onBatch,
                const std::function<void(std::string)>& onProblem,
                const engine::Progress& progress = {});

// An onProblem for StreamRows: flushes standard output first (so that the two streams keep their
// order), complains of the problem and counts it in failed.
std::function<void(std::string)> ComplainCounting(std::size_t& failed);

engine::VectorDocumentList LoadRows(const std::vector<std::string>& paths,
                                    std::vector<std::string>* unreadablePaths = nullptr,
                                    const engine::Progress& progress = {},
                                    const std::string& extensionList = engine::kPackageExtensionList);

// Complains "velmora-cli: path: message" for every row whose load failed; returns how many.
std::size_t ReportLoadErrors(const engine::DocumentList& rows);

} // namespace cli
