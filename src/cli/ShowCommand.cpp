#include "cli/ShowCommand.h"

#include "cli/CommandLine.h"
#include "cli/CustomOutput.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/JsonWriter.h"
#include "cli/LoadRows.h"
#include "cli/StatisticsOutput.h"
#include "cli/TableWriter.h"
#include "export/BuildCsv.h"
#include "export/DateForm.h"
#include "export/RowFields.h"
#include "export/StatisticColumns.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

struct ShowOptions
{
    bool json = false;
    bool csv = false;
    bool custom = false;
    bool stats = false;
    bool utc = false;
    std::string extensions;
    std::vector<std::string> paths;
};

void RunShow(const ShowOptions& options)
{
    std::vector<std::string> unreadable;
    const std::string extensionList = ScanExtensionList(options.extensions);
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    if (options.utc) {
        exporting::PutDatesInForm(rows, exporting::DateForm::Utc);
    }
    std::vector<std::string> customNames;
    if (options.custom) {
        ReportCustomPartErrors(rows);
        customNames = engine::CustomColumnNames(rows);
    }
    if (options.json) {
        WriteJson(std::cout, rows, options.custom, options.stats);
    } else if (options.csv) {
        exporting::GridSnapshot grid = exporting::CsvSnapshotOf(
            rows, customNames, options.utc ? exporting::DateForm::Utc : exporting::DateForm::WithOffset);
        if (options.stats) {
            exporting::InsertStatisticColumns(grid, rows, exporting::RowKeys().size());
        }
        exporting::BuildCsv(std::cout, grid);
    } else {
        WriteTable(std::cout, rows, customNames, options.stats);
    }
    SyncStandardOutput();
    ComplainAll(unreadable);
    const std::size_t failed = ReportLoadErrors(rows) + unreadable.size();
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddShowCommand(CLI::App& app)
{
    auto options = std::make_shared<ShowOptions>();
    CLI::App* show = app.add_subcommand("show", "List the document properties of packages");
    CLI::Option* json = show->add_flag("--json", options->json, "Write a JSON array, one object per package");
    CLI::Option* csv = show->add_flag(
        "--csv", options->csv,
        "Write CSV (RFC 4180) with a header row, dates with their UTC offset (2024-05-06T07:08:09+02:00)");
    json->excludes(csv);
    show->add_flag("--utc", options->utc,
                   "Dates as ISO 8601 instants in UTC (2024-01-02T10:00:00Z) instead of local time (CSV: "
                   "instead of local time with its offset, 2024-01-02T11:00:00+01:00)");
    show->add_flag(
        "--custom", options->custom,
        "Add the custom properties (JSON: a \"Custom\" object; table and CSV: one column per name)");
    show->add_flag("--stats", options->stats,
                   "Add the statistics of the extended properties (Application, AppVersion, "
                   "PresentationFormat, Slides, Notes, HiddenSlides, Words, Paragraphs, MMClips, "
                   "HyperlinkBase; JSON: a \"Statistics\" object; table and CSV: columns Statistic:NAME)");
    AddFileTypesOption(*show, options->extensions);
    show->add_option("paths", options->paths,
                     "Packages, or folders searched recursively for *.pptx (required)");
    show->callback([options] { RunShow(*options); });
}

} // namespace cli
