#include "cli/UndoCommand.h"

#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "cli/Interrupt.h"
#include "cli/ResultOutput.h"
#include "cli/RunSummary.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/UndoSave.h"
#include "engine/journal/UndoablePackages.h"
#include "engine/package/SamePackage.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace cli {

namespace {

namespace fs = std::filesystem;

struct UndoCommandOptions
{
    engine::UndoOptions undo;
    std::vector<std::string> paths;
    bool quiet = false;
    OutputForm form = OutputForm::Text;
};

void RunUndo(const UndoCommandOptions& options)
{
    const std::vector<engine::JournalRun> runs = engine::ReadJournal(engine::DefaultJournalRoot());
    std::vector<std::string> given;
    try {
        given = CommandPaths(options.paths);
    } catch (const CLI::RequiredError&) {
        if (options.undo.RunId.empty()) {
            throw; // nothing names what to undo
        }
    }
    std::size_t failed = 0;
    std::size_t restored = 0;
    if (given.empty()) {
        given = engine::UndoablePackages(runs, options.undo.RunId, {});
        if (given.empty()) {
            Complain("run " + options.undo.RunId + ": nothing to undo");
            FinishCommand(kExitFailures);
        }
    }
    // A folder stands for the journaled packages below it; each package is undone once, however
    // often and by whatever names it is given.
    std::vector<std::string> packages;
    std::set<std::string> seen;
    for (const std::string& path : given) {
        std::error_code ec;
        std::vector<std::string> named{path};
        if (fs::is_directory(path, ec)) {
            named = engine::UndoablePackages(runs, options.undo.RunId, engine::FolderPrefix(path));
            if (named.empty()) {
                Complain(path, "nothing to undo below this folder");
                ++failed;
            }
        }
        for (const std::string& package : named) {
            if (seen.insert(engine::SamePackageKey(package)).second) {
                packages.push_back(package);
            }
        }
    }
    const InterruptScope interrupt;
    engine::Progress progress;
    progress.CancelRequested = &InterruptScope::Requested();
    bool cancelled = false;
    ResultListing results(std::cout, options.form, options.quiet);
    engine::UndoPackages(runs, packages, options.undo, progress,
                         [&](std::size_t i, const engine::UndoOutcome& outcome, bool ran) {
                             const std::string& path = packages[i];
                             if (!ran) {
                                 Complain(path, "not restored: the undo was cancelled");
                                 results.Add(path, "not restored", "not restored: the undo was cancelled");
                                 cancelled = true;
                             } else if (outcome.ok) {
                                 results.Add(path, "restored", outcome.message);
                             } else {
                                 const std::string message = outcome.NothingToUndo ? "nothing to undo" : outcome.message;
                                 Complain(path, message);
                                 results.Add(path, "failed", message);
                             }
                             (ran && outcome.ok ? restored : failed) += 1;
                         });
    results.Finish();
    SyncStandardOutput();
    RunTally tally;
    tally.Saved = restored;
    tally.Failed = failed;
    tally.Interrupted = cancelled;
    FinishRun(tally, options.quiet, RunKind::Undo);
}

} // namespace

void AddUndoCommand(CLI::App& app)
{
    auto options = std::make_shared<UndoCommandOptions>();
    CLI::App* undo = app.add_subcommand(
        "undo", "Restore packages as they were before their latest journaled save not yet undone; "
                "repeat to go further back");
    undo->add_option("--run", options->undo.RunId,
                     "Undo the save of this run (see history) instead; alone, every package of the run");
    undo->add_flag(
        "--keep-mtime", options->undo.KeepModificationTime,
        "Keep each package's modification time (by default it returns to the time before the save)");
    undo->add_flag("--ignore-locks", options->undo.IgnoreLocks,
                   "Restore packages that another program has open (a lock file beside them) all the same");
    undo->add_flag("--quiet,-q", options->quiet,
                   "Report only errors: no restored lines, no closing summary");
    AddOutputFormOptions(*undo, options->form, "the results (path, outcome, message)");
    undo->add_option("paths", options->paths, "Packages, or folders of journaled packages, to restore");
    undo->callback([options] { RunUndo(*options); });
}

} // namespace cli
