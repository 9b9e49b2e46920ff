#pragma once

#include "engine/journal/JournalFormat.h"
#include "engine/journal/SaveJournal.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Reading, bounding and purging the save journal.
namespace engine {

// The runs under root, oldest first. A run whose files cannot be read (one being written, or
// damaged) is left out.
[[nodiscard]] std::vector<JournalRun> ReadJournal(const std::filesystem::path& root);

// Drops the oldest runs until at most limits.MaxRuns remain and they take at most limits.MaxBytes;
// the run named keepId is never dropped.
void PruneJournal(const std::filesystem::path& root, const JournalLimits& limits, const std::string& keepId);

// Deletes the whole journal, or with paths only the entries of the packages they name (a folder
// names every package below it, as NamedPackages takes them; a run left without entries goes too).
// Returns the number of runs and entries deleted. Throws std::runtime_error.
std::size_t PurgeJournal(const std::filesystem::path& root, const std::vector<std::string>& paths);

// Notes what an undo of the run's save of the package produced, forced to disk before the undo
// replaces the package.
void RecordUndoProduced(const JournalRun& run, const std::string& package, const ProducedFacts& produced);
// Notes that the run's save of the package was undone.
void MarkUndone(const JournalRun& run, const std::string& package);

} // namespace engine
