#include "cli/SaveRun.h"

#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "cli/Interrupt.h"
#include "engine/record/PendingChanges.h"
#include "engine/runs/SaveRun.h"

#include <iostream>

namespace cli {

void AddSaveRunOptions(CLI::App& command, SaveRunOptions& options)
{
    command.add_flag("--no-journal", options.noJournal,
                     "Do not record the save in the journal (it cannot be undone then)");
    command.add_flag("--keep-mtime", options.keepMtime, "Keep each package's modification time");
    command.add_flag("--ignore-locks", options.ignoreLocks,
                     "Save packages that another program has open (a lock file beside them) all the same");
    command
        .add_option("--jobs", options.jobs,
                    "Save at most N packages at once (default: four per usable core, at most 32)")
        ->type_name("N")
        ->check(CLI::Range(1U, 1024U));
    AddOutputFormOptions(command, options.form, "the results (path, outcome, message, changes), or with --dry-run the changes");
    command.add_flag("--quiet,-q", options.quiet,
                     "Report only errors: no saved or unchanged lines, no warnings, no closing summary");
}

RunTally SaveAndReport(const std::vector<engine::DocumentRecord*>& records,
                          const SaveRunOptions& options,
                          ResultListing& results,
                          const std::function<void(std::size_t)>& beforeLine)
{
    // The changes are the records' until their saves read them again.
    std::vector<std::vector<engine::PendingChange>> changes(records.size());
    if (options.form != OutputForm::Text) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            changes[i] = engine::PendingChanges(*records[i]);
        }
    }
    const InterruptScope interrupt;
    engine::Progress progress;
    progress.CancelRequested = &InterruptScope::Requested();
    engine::SaveRunSettings settings;
    settings.Journal = !options.noJournal;
    settings.KeepModificationTime = options.keepMtime;
    settings.IgnoreLocks = options.ignoreLocks;
    settings.Workers = options.jobs;
    RunTally tally;
    const engine::SaveRunReport report =
        engine::SaveRun(records, settings, progress, [&](std::size_t i, const engine::SaveResult& result) {
            if (beforeLine) {
                beforeLine(i);
            }
            if (!result.FirstOfPackage) {
                return; // one line per package
            }
            const std::string& path = records[i]->FullPath;
            switch (result.State) {
            case engine::SaveState::Saved:
                if (!options.quiet && !records[i]->LastWarning.empty()) {
                    Complain(path, records[i]->LastWarning);
                }
                results.Add(path, "saved", "", changes[i]);
                ++tally.Saved;
                break;
            case engine::SaveState::Failed:
            case engine::SaveState::NotSaved:
                Complain(path, result.Message);
                results.Add(path, result.State == engine::SaveState::Failed ? "failed" : "not saved", result.Message,
                            changes[i]);
                ++tally.Failed;
                break;
            case engine::SaveState::Unchanged:
                results.Add(path, "unchanged", "");
                ++tally.Unchanged;
                break;
            }
        });
    if (!report.JournalFinishFailure.empty()) {
        Complain(report.JournalFinishFailure);
        ++tally.Failed;
    }
    // While a reader that went away still fails the writes instead of ending the process.
    SyncStandardOutput();
    tally.Interrupted = report.Cancelled;
    return tally;
}

} // namespace cli
