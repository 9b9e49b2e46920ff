#pragma once

#include "cli/ResultOutput.h"
#include "cli/RunSummary.h"
#include "engine/record/DocumentRecord.h"

#include <CLI/CLI.hpp>
#include <cstddef>
#include <functional>
#include <vector>

namespace cli {

// How the commands that save (set, import) write their packages.
struct SaveRunOptions
{
    bool noJournal = false;
    bool keepMtime = false;
    bool ignoreLocks = false;
    unsigned jobs = 0; // packages saved at once; 0 lets the engine choose
    bool quiet = false; // errors only: no "saved"/"unchanged" lines, warnings or summary
    OutputForm form = OutputForm::Text; // --json, --jsonl: the results (or a dry run's changes)
};

// Adds --no-journal, --keep-mtime, --ignore-locks, --jobs, --quiet, --json and --jsonl to a command
// that saves.
void AddSaveRunOptions(CLI::App& command, SaveRunOptions& options);

// Saves the records in one engine save run and adds one result per package to results in their
// order: saved, unchanged (nothing would differ: the package is left as it is) or the failure, which
// (with any save warning, unless quiet) also goes to stderr. beforeLine(i) runs
// just before the line of record i, so callers can interleave their own lines in row order. Returns
// what became of the packages (the caller adds its own failures and ends with FinishRun). Ctrl+C,
// SIGTERM or SIGHUP finishes the packages in hand, names the packages left unsaved and marks the
// tally Interrupted.
RunTally SaveAndReport(const std::vector<engine::DocumentRecord*>& records,
                       const SaveRunOptions& options,
                       ResultListing& results,
                       const std::function<void(std::size_t)>& beforeLine = {});

} // namespace cli
