#pragma once

#include "engine/DocumentOutcome.h"
#include "engine/DocumentRecord.h"
#include "engine/Progress.h"
#include "engine/SaveDocument.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace engine {

// Saves the records on the given number of workers (0: SaveWorkers()), the calling thread being one
// of them. Records of the same package (same FullPath) are saved
// one after the other, in the given order, by one worker; each worker reuses one scratch folder for
// its whole run and removes it when it stops. finished(i, outcome) is called on the calling thread
// for i = 0, 1, ... in order, each as soon as record i and every record before it are done. When
// progress is cancelled, packages not yet started are not saved, and the calls stop before the
// first record left unsaved. Every save gets the options (a journal is shared by the workers).
void SaveRecords(const std::vector<DocumentRecord*>& records,
                 const Progress& progress,
                 const std::function<void(std::size_t, const DocumentOutcome&)>& finished,
                 const SaveOptions& options = {},
                 unsigned workers = 0);

} // namespace engine
