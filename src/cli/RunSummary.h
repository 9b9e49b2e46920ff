#pragma once

#include <cstddef>
#include <string>

// The one line that ends a command that saves or restores packages, so that a run over thousands
// of packages says at the end what became of them without counting lines.
namespace cli {

struct RunTally
{
    std::size_t Saved = 0;     // or restored, by an undo
    std::size_t Unchanged = 0; // nothing would differ: left as it was (saves only)
    std::size_t Failed = 0;    // read, saved or restored with a fault (each named on standard error)
    bool Interrupted = false;  // a stopping signal ended the run early

    RunTally& operator+=(const RunTally& other);
};

enum class RunKind
{
    Save, // "1,388 saved, 12 unchanged, 3 failed"
    Undo, // "1,388 restored, 3 failed"
};

// The summary's text for the kind of run.
[[nodiscard]] std::string SummaryText(const RunTally& tally, RunKind kind = RunKind::Save);

// Writes the summary as the last line on standard error, unless quiet.
void ReportSummary(const RunTally& tally, bool quiet, RunKind kind = RunKind::Save);

// Reports the summary (unless quiet) and ends the command: 128 + the signal's number when a signal
// stopped the run, 1 after any failure, else 0.
void FinishRun(const RunTally& tally, bool quiet, RunKind kind = RunKind::Save);

// Digits grouped by thousands with ',' ("1,388"), whatever the locale, so scripts can read it.
[[nodiscard]] std::string GroupedCount(std::size_t count);

} // namespace cli
