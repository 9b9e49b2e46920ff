#pragma once

#include "engine/journal/JournalFormat.h"
#include "engine/record/DocumentOutcome.h"
#include "engine/base/Progress.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Putting a package back as it was before a journaled save, one run at a time.
namespace engine {

struct UndoOptions
{
    std::string RunId;                 // empty: the package's latest save not undone yet
    bool KeepModificationTime = false; // the package keeps the time it has now
    bool IgnoreLocks = false;          // restore packages another program has open all the same
    std::string LockOverrideHint = "restore with --ignore-locks";
};

struct UndoOutcome : DocumentOutcome
{
    bool NothingToUndo = false; // no journaled save of the package is left to undo
    std::string RunId;          // the run whose save was undone
};

// Restores the package from the runs (oldest first, as ReadJournal gives them) as it was before
// the latest journaled run that saved it and has not been undone (or before the named run): the
// recorded members get their bytes back, members recorded as absent are removed, every other member
// is copied unchanged, and the modification time recorded before that run returns (unless it is
// kept). The package the undo produces is recorded first, so that the next undo goes one run
// further back. The package is left as it is, with a message, when it changed since that save.
// Never throws.
UndoOutcome
UndoSave(const std::vector<JournalRun>& runs, const std::string& package, const UndoOptions& options);

// Undoes the packages on the save workers; finished(i, outcome, ran) is called on the calling
// thread for each package in order. A cancel through progress finishes the packages in hand and
// leaves the rest (ran == false).
void UndoPackages(const std::vector<JournalRun>& runs,
                  const std::vector<std::string>& packages,
                  const UndoOptions& options,
                  const Progress& progress,
                  const std::function<void(std::size_t, const UndoOutcome&, bool)>& finished);

} // namespace engine
