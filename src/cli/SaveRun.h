#pragma once

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
};

// Adds --no-journal, --keep-mtime, --ignore-locks and --jobs to a command that saves.
void AddSaveRunOptions(CLI::App& command, SaveRunOptions& options);

// Saves the records in one engine save run and prints one line per package in their order:
// "PATH: saved" or "PATH: unchanged" (nothing would differ: the package is left as it is) on stdout,
// or the failure (and any save warning) on stderr. beforeLine(i) runs just
// before the line of record i, so callers can interleave their own lines in row order. Returns the
// number of failures. Ctrl+C, SIGTERM or SIGHUP finishes the packages in hand, names the packages
// left unsaved and ends the command with 128 + the signal's number.
std::size_t SaveAndReport(const std::vector<engine::DocumentRecord*>& records,
                          const SaveRunOptions& options,
                          const std::function<void(std::size_t)>& beforeLine = {});

} // namespace cli
