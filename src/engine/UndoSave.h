#pragma once

#include "engine/DocumentOutcome.h"
#include "engine/JournalFormat.h"

#include <string>
#include <vector>

// Putting a package back as it was before a journaled save.
namespace engine {

struct UndoOptions
{
    std::string RunId;                 // empty: the package's latest save
    bool KeepModificationTime = false; // the package keeps the time it has now
};

// Restores the package from the runs (oldest first, as ReadJournal gives them): the recorded
// members get their bytes back and members recorded as absent are removed, every other member is
// copied unchanged. A save that was recorded but never replaced the package is passed over. The
// package is left as it is, with a message, when it changed since the save (its SHA-256 is not
// the one the save produced) or when no save of it is journaled. Never throws.
DocumentOutcome
UndoSave(const std::vector<JournalRun>& runs, const std::string& package, const UndoOptions& options);

} // namespace engine
