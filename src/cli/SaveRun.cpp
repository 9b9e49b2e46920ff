#include "cli/SaveRun.h"

#include "engine/JournalFormat.h"
#include "engine/ParallelSave.h"
#include "engine/SaveJournal.h"

#include <iostream>
#include <memory>

namespace cli {

void AddSaveRunOptions(CLI::App& command, SaveRunOptions& options)
{
    command.add_flag("--no-journal", options.noJournal,
                     "Do not record the save in the journal (it cannot be undone then)");
    command.add_flag("--keep-mtime", options.keepMtime, "Keep each package's modification time");
    command
        .add_option("--jobs", options.jobs,
                    "Save at most N packages at once (default: four per usable core, at most 32)")
        ->type_name("N")
        ->check(CLI::Range(1U, 1024U));
}

std::size_t SaveAndReport(const std::vector<engine::DocumentRecord*>& records,
                          const SaveRunOptions& options,
                          const std::function<void(std::size_t)>& beforeLine)
{
    const auto announce = [&](std::size_t i) {
        if (beforeLine) {
            beforeLine(i);
        }
    };
    std::size_t failed = 0;
    std::unique_ptr<engine::SaveJournal> journal;
    if (!options.noJournal && !records.empty()) {
        try {
            journal = engine::StartSaveRun({records.begin(), records.end()}, engine::DefaultJournalRoot());
        } catch (const engine::EJournalError& e) {
            for (std::size_t i = 0; i < records.size(); ++i) {
                announce(i);
                std::cerr << records[i]->FullPath << ": not saved: " << e.what() << '\n';
            }
            return records.size();
        }
    }
    const engine::SaveOptions saveOptions{journal.get(), options.keepMtime};
    engine::SaveRecords(
        records, engine::Progress{},
        [&](std::size_t i, const engine::DocumentOutcome& outcome) {
            announce(i);
            if (!records[i]->LastWarning.empty()) {
                std::cerr << records[i]->FullPath << ": " << records[i]->LastWarning << '\n';
            }
            if (outcome.ok) {
                std::cout << records[i]->FullPath << ": saved\n";
            } else {
                std::cerr << records[i]->FullPath << ": " << outcome.message << '\n';
                ++failed;
            }
        },
        saveOptions, options.jobs);
    if (journal) {
        try {
            journal->Finish();
        } catch (const engine::EJournalError& e) {
            std::cerr << "velmora-cli: " << e.what() << '\n';
            ++failed;
        }
    }
    return failed;
}

} // namespace cli
