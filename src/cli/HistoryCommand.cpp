#include "cli/HistoryCommand.h"

#include "archive/Utf8.h"
#include "cli/CommandLine.h"
#include "engine/journal/JournalStore.h"

#include <iostream>
#include <memory>
#include <set>
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
    std::set<std::string> keys;
    for (const std::string& path : paths) {
        keys.insert(engine::CanonicalPath(path));
    }
    for (const engine::JournalRun& run : engine::ReadJournal(root)) {
        std::size_t count = 0;
        std::vector<std::string> touched;
        for (const engine::JournalEntry& entry : run.Entries) {
            if (!entry.Produced) {
                continue;
            }
            ++count;
            if (keys.count(entry.Package) > 0) {
                touched.push_back(entry.Package);
            }
        }
        if (count == 0 || (!keys.empty() && touched.empty())) {
            continue;
        }
        std::cout << run.Id << "  " << run.Time << "  " << count
                  << (count == 1 ? " package  " : " packages  ") << Joined(run.Properties) << '\n';
        for (const std::string& package : touched) {
            std::cout << "    " << archive::RepairUtf8(package, archive::kReplacementCharacter) << '\n';
        }
    }
}

} // namespace

void AddHistoryCommand(CLI::App& app)
{
    auto options = std::make_shared<HistoryOptions>();
    CLI::App* history = app.add_subcommand(
        "history", "List the journaled saves (id, time, packages, properties), or delete the journal");
    history->add_flag("--purge", options->purge,
                      "Delete the journal, or with paths the entries of those packages");
    history->add_option("paths", options->paths, "Packages whose saves are listed or purged");
    history->callback([options] {
        HistoryOptions given = *options;
        try {
            given.paths = CommandPaths(options->paths);
        } catch (const CLI::RequiredError&) {
            given.paths.clear(); // paths are optional here
        }
        RunHistory(given);
    });
}

} // namespace cli
