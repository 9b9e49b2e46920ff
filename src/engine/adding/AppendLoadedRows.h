#pragma once

#include "engine/adding/ScanFolder.h"
#include "engine/record/DocumentList.h"
#include "engine/base/Progress.h"

#include <vector>

namespace engine {

// Loads the given files on a small pool of threads and appends one checked row per file to list,
// in the given order, from the calling thread only (so a view's model is never touched from a
// worker). A cancel request keeps the rows appended so far and appends no more; the list is never
// left with a row whose load did not finish.
void AppendLoadedRows(DocumentList& list, const std::vector<ScannedFile>& files, const Progress& progress);

} // namespace engine
