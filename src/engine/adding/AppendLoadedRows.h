#pragma once

#include "engine/adding/ScanFolder.h"
#include "engine/base/Progress.h"
#include "engine/record/DocumentList.h"

#include <vector>

namespace engine {

// Loads the given files on a small pool of threads and appends one checked row per file to list,
// in the given order, from the calling thread only (so a view's model is never touched from a
// worker). A cancel request keeps the rows appended so far and appends no more; the list is never
// left with a row whose load did not finish. A file whose size was not known (SizeKnown false) is a
// row only when its load finds it larger than kMinPackageSize; its FileSize is the size of the
// file the load read, as for every row.
void AppendLoadedRows(DocumentList& list, const std::vector<ScannedFile>& files, const Progress& progress);

} // namespace engine
