#include "cli/SetCommand.h"

#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/LoadRows.h"
#include "cli/PropertyAssignment.h"
#include "cli/Utf8.h"
#include "engine/JournalFormat.h"
#include "engine/PendingChanges.h"
#include "engine/SaveDocument.h"
#include "engine/SaveJournal.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

struct SetOptions
{
    bool dryRun = false;
    bool json = false;
    bool noJournal = false;
    bool keepMtime = false;
    bool clearPersonal = false;
    std::vector<std::string> sets;
    std::vector<std::string> clears;
    std::vector<std::string> paths;
};

void Apply(engine::DocumentRecord& record, const std::vector<PropertyAssignment>& assignments)
{
    for (const PropertyAssignment& assignment : assignments) {
        record.Value(assignment.Property) = assignment.Value;
        record.SetChanged(assignment.Property, true);
    }
    record.Modified = true;
}

// The changes a save would write, one line each, or as a JSON array.
void PrintChanges(const engine::DocumentRecord& record, bool json, bool& firstJson)
{
    for (const engine::PendingChange& change : engine::PendingChanges(record)) {
        const std::string path = JsonString(ValidUtf8(record.FullPath));
        const std::string name(engine::DisplayName(change.Property));
        const std::string before = JsonString(ValidUtf8(change.Old));
        const std::string after = JsonString(ValidUtf8(change.New));
        if (json) {
            std::cout << (firstJson ? "\n" : ",\n") << "  {\"FullPath\": " << path << ", \"Property\": \""
                      << name << "\", \"Old\": " << before << ", \"New\": " << after << "}";
            firstJson = false;
        } else {
            std::cout << ValidUtf8(record.FullPath) << ": " << name << ": " << before << " -> " << after
                      << '\n';
        }
    }
}

std::size_t DryRun(engine::DocumentList& rows, const std::vector<PropertyAssignment>& assignments, bool json)
{
    std::size_t failed = 0;
    bool firstJson = true;
    if (json) {
        std::cout << '[';
    }
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        if (!record.LastError.empty()) {
            std::cerr << record.FullPath << ": " << record.LastError << '\n';
            ++failed;
            continue;
        }
        Apply(record, assignments);
        PrintChanges(record, json, firstJson);
    }
    if (json) {
        std::cout << (firstJson ? "]\n" : "\n]\n");
    }
    return failed;
}

// Saves every row, recorded in the journal unless that is turned off. A journal that cannot be
// written stops the command before any package is touched.
std::size_t SaveRows(engine::DocumentList& rows,
                     const std::vector<PropertyAssignment>& assignments,
                     const SetOptions& options)
{
    std::vector<const engine::DocumentRecord*> records;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        Apply(rows.RecordAt(row), assignments);
        records.push_back(&rows.RecordAt(row));
    }
    std::unique_ptr<engine::SaveJournal> journal;
    if (!options.noJournal) {
        try {
            journal = engine::StartSaveRun(records, engine::DefaultJournalRoot());
        } catch (const engine::EJournalError& e) {
            for (const engine::DocumentRecord* record : records) {
                std::cerr << record->FullPath << ": not saved: " << e.what() << '\n';
            }
            return records.size();
        }
    }
    const engine::SaveOptions saveOptions{journal.get(), options.keepMtime};
    std::size_t failed = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        // The package is saved even when its load reported a problem: the save reads the parts
        // afresh and fails on its own when the part it must edit is unusable.
        const engine::DocumentOutcome outcome = engine::SaveDocument(record, saveOptions);
        if (outcome.ok) {
            std::cout << record.FullPath << ": saved\n";
        } else {
            std::cerr << record.FullPath << ": " << outcome.message << '\n';
            ++failed;
        }
    }
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

void RunSet(const SetOptions& options)
{
    std::vector<PropertyAssignment> assignments;
    try {
        // Every NAME and VALUE is checked before any package is opened.
        std::vector<std::string> clears = options.clears;
        if (options.clearPersonal) {
            const std::vector<std::string> personal = PersonalPropertyNames();
            clears.insert(clears.end(), personal.begin(), personal.end());
        }
        assignments = ParseAssignments(options.sets, clears);
    } catch (const EBadAssignment& e) {
        throw CLI::ValidationError("set", e.what());
    }
    std::vector<std::string> unreadable;
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable);
    std::size_t failed = unreadable.size();
    for (const std::string& line : unreadable) {
        std::cerr << line << '\n';
    }
    failed += options.dryRun ? DryRun(rows, assignments, options.json) : SaveRows(rows, assignments, options);
    std::cout.flush();
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddSetCommand(CLI::App& app)
{
    auto options = std::make_shared<SetOptions>();
    CLI::App* set = app.add_subcommand("set", "Set document properties of packages and save them");
    CLI::Option* dryRun = set->add_flag("--dry-run", options->dryRun,
                                        "Save nothing; print each change as PATH: NAME: \"old\" -> \"new\"");
    set->add_flag("--json", options->json, "With --dry-run: the changes as a JSON array")->needs(dryRun);
    set->add_flag("--no-journal", options->noJournal,
                  "Do not record the save in the journal (it cannot be undone then)");
    set->add_flag("--keep-mtime", options->keepMtime, "Keep each package's modification time");
    set->add_flag("--clear-personal", options->clearPersonal,
                  "Clear Creator, LastModifiedBy, Company, Manager, LastPrinted and Template. The "
                  "journal keeps the old values until 'history --purge' (or use --no-journal)");
    set->add_option("--set", options->sets, "NAME=VALUE (a display name such as Title; repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME=VALUE");
    set->add_option("--clear", options->clears, "Remove the property NAME (repeatable)")
        ->allow_extra_args(false)
        ->type_name("NAME");
    set->add_option("paths", options->paths,
                    "Packages, or folders searched recursively for *.pptx (required)");
    set->callback([options] { RunSet(*options); });
}

} // namespace cli
