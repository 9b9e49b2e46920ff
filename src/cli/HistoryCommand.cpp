#include "cli/HistoryCommand.h"

#include "archive/Utf8.h"
#include "cli/CommandLine.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/UndoablePackages.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

struct HistoryOptions
{
    bool purge = false;
    std::vector<std::string> paths;
};

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : ",") + item;
    }
    return text;
}

// The last column of a run's line: blank while every saved package still holds the run's save.
const char* UndoneMark(engine::RunUndone undone)
{
    switch (undone) {
    case engine::RunUndone::Wholly:
        return "  undone";
    case engine::RunUndone::Partly:
        return "  partly undone";
    case engine::RunUndone::None:
        break;
    }
    return "";
}

void RunHistory(const HistoryOptions& options)
{
    const auto root = engine::DefaultJournalRoot();
    std::vector<std::string> paths = options.paths;
    if (options.purge) {
        const std::size_t deleted = engine::PurgeJournal(root, paths);
        std::cout << "deleted " << deleted << (paths.empty() ? " runs" : " entries") << " from "
                  << root.string() << '\n';
        return;
    }
    // A folder stands for the packages below it, as undo takes it; a file for itself.
    const engine::NamedPackages named(paths);
    const bool filtered = !paths.empty();
    for (const engine::JournalRun& run : engine::ReadJournal(root)) {
        std::size_t count = 0;
        std::vector<const engine::JournalEntry*> touched;
        for (const engine::JournalEntry& entry : run.Entries) {
            if (!entry.Produced) {
                continue;
            }
            ++count;
            if (filtered && named.Contains(entry.Package)) {
                touched.push_back(&entry);
            }
        }
        if (count == 0 || (filtered && touched.empty())) {
            continue;
        }
        std::cout << run.Id << "  " << run.Time << "  " << count
                  << (count == 1 ? " package  " : " packages  ") << Joined(run.Properties)
                  << UndoneMark(engine::UndoneState(run)) << '\n';
        for (const engine::JournalEntry* entry : touched) {
            std::cout << "    " << archive::RepairUtf8(entry->Package, archive::kReplacementCharacter)
                      << (entry->Undone ? "  undone" : "") << '\n';
        }
    }
}

} // namespace

void AddHistoryCommand(CLI::App& app)
{
    auto options = std::make_shared<HistoryOptions>();
    CLI::App* history = app.add_subcommand(
        "history",
        "List the journaled saves (id, time, packages, properties, \"undone\" or \"partly undone\"), or "
        "delete the journal");
    history->add_flag("--purge", options->purge,
                      "Delete the journal, or with paths the entries of those packages");
    history->add_option(
        "paths", options->paths,
        "Packages whose saves are listed or purged; a folder stands for the packages below it");
    history->callback([options] {
        HistoryOptions given = *options;
        given.paths = GivenPaths(options->paths); // paths are optional here
        RunHistory(given);
    });
}

} // namespace cli
