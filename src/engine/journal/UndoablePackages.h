#pragma once

#include "engine/journal/JournalFormat.h"

#include <string>
#include <vector>

// Which journaled packages still have a save to undo: one answer for every front end.
namespace engine {

// The packages with a save left to undo (of the run runId, when one is named), each once in the
// order first met, whose recorded paths begin with prefix (every one for an empty prefix).
[[nodiscard]] std::vector<std::string>
UndoablePackages(const std::vector<JournalRun>& runs, const std::string& runId, const std::string& prefix);

// The latest run that has a save not undone yet, and those of its packages; Run is null when no
// run has one. Repeated after each undo, it steps back run by run.
struct UndoableRun
{
    const JournalRun* Run = nullptr;
    std::vector<std::string> Packages;
};

[[nodiscard]] UndoableRun LatestUndoableRun(const std::vector<JournalRun>& runs);

} // namespace engine
