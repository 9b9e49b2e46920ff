#include "cli/ImportCommand.h"

#include "cli/ChangeListing.h"
#include "cli/CommandHelp.h"
#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "cli/SaveRun.h"
#include "cli/TimeZoneOption.h"
#include "engine/base/PathMessage.h"
#include "engine/record/EditState.h"
#include "engine/tables/ImportPlan.h"
#include "engine/tables/PlanImport.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace cli {

namespace {

struct ImportOptions
{
    std::string file;
    std::vector<std::string> paths;
    bool dryRun = false;
    bool emptyClears = false;
    bool skipInvalid = false;
    bool ignoreUnknownColumns = false;
    SaveRunOptions saving;
    std::string extensions;
    std::string zone;
};

// Without PATH arguments the packages are the ones the table's FullPath column names, each once;
// a row naming no file is reported by the match.
std::vector<std::string> PathsNamedBy(const engine::ImportSheet& sheet)
{
    std::vector<std::string> paths;
    std::set<std::string> seen;
    for (const engine::ImportRow& row : sheet.Rows) {
        const std::filesystem::path key = engine::ImportPathKey(row.Key, std::filesystem::current_path());
        std::error_code ec;
        if (std::filesystem::exists(key, ec) && seen.insert(key.string()).second) {
            paths.push_back(row.Key);
        }
    }
    return paths;
}

void RunImport(const ImportOptions& options)
{
    UseTimeZone(options.zone);
    engine::ImportSheet sheet;
    try {
        sheet = engine::InterpretImportTable(
            engine::ReadImportFile(options.file),
            engine::ImportOptions{options.emptyClears, options.ignoreUnknownColumns});
    } catch (const engine::EUnknownColumn& e) {
        Complain(e.what());
        Complain(options.file, "nothing imported (--ignore-unknown-columns leaves such columns out)");
        FinishCommand(kExitFailures);
        return;
    } catch (const engine::EImportError& e) {
        Complain(e.what());
        FinishCommand(kExitFailures);
        return;
    }
    ComplainAll(sheet.Warnings);
    ComplainAll(sheet.Problems);
    if (!sheet.Problems.empty() && !options.skipInvalid) {
        Complain(sheet.Source, "nothing imported (use --skip-invalid to import the valid cells)");
        FinishCommand(kExitFailures);
        return;
    }
    const std::vector<std::string> given = GivenPaths(options.paths);
    const bool named = !given.empty() || PathListGivenToCommand();
    if (!sheet.KeyIsPath && !named) {
        throw CLI::ValidationError("import",
                                   "the table names packages by file name only: give the PATHs to match");
    }
    const std::string extensionList = ScanExtensionList(options.extensions);
    std::vector<std::string> unreadable;
    engine::VectorDocumentList rows =
        LoadRows(named ? given : PathsNamedBy(sheet), &unreadable, {}, extensionList);
    std::size_t failed = unreadable.size() + (options.skipInvalid ? 0 : sheet.Problems.size());
    ComplainAll(unreadable);
    std::vector<const engine::DocumentRecord*> records;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        records.push_back(&rows.RecordAt(row));
    }
    engine::PlannedImport plan;
    try {
        plan = engine::PlanImport(sheet, records, std::filesystem::current_path());
    } catch (const engine::EImportError& e) {
        Complain(e.what());
        FinishCommand(kExitFailures);
        return;
    }
    ComplainAll(plan.Match.Missing); // the other rows are still applied
    failed += plan.Match.Missing.size();
    if (named) { // named packages the table does not mention are no failure
        ComplainAll(plan.Match.Unmatched);
        if (plan.Match.Pairs.empty()) {
            Complain(options.file, "no row names any of the given packages");
            FinishCommand(kExitFailures);
            return;
        }
    }
    for (const std::size_t index : plan.Unreadable) {
        const engine::DocumentRecord& record = *records[index];
        Complain(record.FullPath, record.LastError);
        ++failed;
    }
    // A custom value that its property's type cannot hold is an invalid cell like any other.
    ComplainAll(plan.InvalidCustomCells);
    if (!plan.InvalidCustomCells.empty() && !options.skipInvalid) {
        Complain(sheet.Source, "nothing imported (use --skip-invalid to import the valid cells)");
        FinishCommand(kExitFailures);
        return;
    }
    if (options.dryRun) { // the listing is the whole report
        ChangeListing listing(std::cout, options.saving.form);
        for (const engine::PlannedRecord& planned : plan.Records) {
            listing.Add(rows.RecordAt(planned.Record).FullPath, planned.Preview, &std::cerr);
        }
        listing.Finish();
        SyncStandardOutput();
        FinishCommand(failed == 0 ? kExitOk : kExitFailures);
        return;
    }
    ResultListing results(std::cout, options.saving.form, options.saving.quiet);
    for (const std::size_t index : plan.Unreadable) {
        results.Add(records[index]->FullPath, "failed", records[index]->LastError);
    }
    // A package that already holds every value of its row is left as it is, and reported unchanged
    // at its place among the saved ones.
    std::vector<engine::DocumentRecord*> changed;
    std::vector<std::size_t> planOfChanged;
    for (std::size_t p = 0; p < plan.Records.size(); ++p) {
        if (!plan.Records[p].Preview.empty()) {
            engine::DocumentRecord& record = rows.RecordAt(plan.Records[p].Record);
            engine::ApplyRecordChanges(record, plan.Records[p].Changes);
            changed.push_back(&record);
            planOfChanged.push_back(p);
        }
    }
    std::size_t reported = 0;
    const auto reportUnchangedBefore = [&](std::size_t p) {
        for (; reported < p; ++reported) {
            if (plan.Records[reported].Preview.empty()) {
                results.Add(rows.RecordAt(plan.Records[reported].Record).FullPath, "unchanged", "");
            }
        }
    };
    RunTally tally = SaveAndReport(changed, options.saving, results, [&](std::size_t i) {
        reportUnchangedBefore(planOfChanged[i]);
        ++reported;
    });
    reportUnchangedBefore(plan.Records.size());
    results.Finish();
    tally.Failed += failed;
    tally.Unchanged += plan.Records.size() - changed.size();
    SyncStandardOutput();
    FinishRun(tally, options.saving.quiet);
}

} // namespace

void AddImportCommand(CLI::App& app)
{
    auto options = std::make_shared<ImportOptions>();
    CLI::App* import = app.add_subcommand(
        "import",
        "Set document properties from a CSV or XLSX table (as show --csv and export write it) and save");
    import->add_option("file", options->file, "The table: CSV (UTF-8, ',' or ';') or an XLSX workbook")
        ->required();
    import->add_option("paths", options->paths,
                       "Packages or folders to match the table's rows against (needed when the table names "
                       "packages by FileName only); without them, the packages its FullPath column names");
    import->add_flag("--dry-run", options->dryRun, "Print the changes, save nothing");
    import->add_flag("--empty-clears", options->emptyClears,
                     "An empty cell clears the property (default: leaves it)");
    import->add_flag("--skip-invalid", options->skipInvalid,
                     "Import the valid cells even when some are invalid (default: import nothing)");
    import->add_flag("--ignore-unknown-columns", options->ignoreUnknownColumns,
                     "Leave out columns that name no property (default: refuse the table)");
    AddSaveRunOptions(*import, options->saving);
    AddFileTypesOption(*import, options->extensions);
    AddTimeZoneOption(*import, options->zone);
    import->footer(
        ValuesHelp("A Custom:NAME column keeps the type of an existing property NAME (its cells must\n"
                   "suit it) and adds a new one as text.\n"
                   "Local times in the table are read in the zone of --zone (default TZ); show --csv and\n"
                   "export write each date with its offset, so that another zone reads the same instant.\n"));
    import->callback([options] { RunImport(*options);
});
} // namespace cli

} // namespace cli
