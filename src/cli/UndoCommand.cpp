#include "cli/UndoCommand.h"

#include "cli/CommandLine.h"
#include "engine/JournalStore.h"
#include "engine/UndoSave.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

struct UndoCommandOptions
{
    engine::UndoOptions undo;
    std::vector<std::string> paths;
};

void RunUndo(const UndoCommandOptions& options)
{
    const std::vector<std::string> paths = CommandPaths(options.paths);
    const std::vector<engine::JournalRun> runs = engine::ReadJournal(engine::DefaultJournalRoot());
    std::size_t failed = 0;
    for (const std::string& path : paths) {
        const engine::DocumentOutcome outcome = engine::UndoSave(runs, path, options.undo);
        if (outcome.ok) {
            std::cout << path << ": " << outcome.message << '\n';
        } else {
            std::cerr << path << ": " << outcome.message << '\n';
            ++failed;
        }
    }
    std::cout.flush();
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddUndoCommand(CLI::App& app)
{
    auto options = std::make_shared<UndoCommandOptions>();
    CLI::App* undo =
        app.add_subcommand("undo", "Restore packages as they were before their latest journaled save");
    undo->add_option("--run", options->undo.RunId, "Undo the save of this run (see history) instead");
    undo->add_flag("--keep-mtime", options->undo.KeepModificationTime,
                   "Keep each package's modification time");
    undo->add_option("paths", options->paths, "Packages to restore (required)");
    undo->callback([options] { RunUndo(*options); });
}

} // namespace cli
