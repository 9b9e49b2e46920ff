#include "cli/ShowCommand.h"

#include "cli/CommandLine.h"
#include "cli/CustomOutput.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/JsonWriter.h"
#include "cli/LoadRows.h"
#include "cli/StatisticsOutput.h"
#include "cli/TableWriter.h"
#include "engine/record/DateConvert.h"
#include "export/BuildCsv.h"
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

// Every date of the rows, custom dates included, as the instant "YYYY-MM-DDThh:mm:ssZ"; a text that
// is no date (kept as the package stores it) stays as it is.
void ShowDatesInUtc(engine::DocumentList& rows)
{
    const auto toUtc = [](std::string& value) {
        if (auto stored = engine::RecordDateToStoredDate(value)) {
            value = std::move(*stored);
        }
    };
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        engine::DocumentRecord& record = rows.RecordAt(row);
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            if (engine::IsDateProperty(p)) {
                toUtc(record.Value(p));
            }
        }
        for (engine::CustomProperty& item : record.Custom.Items) {
            if (engine::KindOfType(item.Type) == engine::CustomKind::Date) {
                toUtc(item.Value);
            }
        }
    }
}

void RunShow(const ShowOptions& options)
{
    std::vector<std::string> unreadable;
    const std::string extensionList = ScanExtensionList(options.extensions);
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    if (options.utc) {
        ShowDatesInUtc(rows);
    }
    std::vector<std::string> customNames;
    if (options.custom) {
        ReportCustomPartErrors(rows);
        customNames = engine::CustomColumnNames(rows);
    }
    if (options.json) {
        WriteJson(std::cout, rows, options.custom, options.stats);
    } else if (options.csv) {
        exporting::GridSnapshot grid = exporting::CsvSnapshotOf(rows, customNames);
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
    CLI::Option* csv = show->add_flag("--csv", options->csv, "Write CSV (RFC 4180) with a header row");
    json->excludes(csv);
    show->add_flag("--utc", options->utc,
                   "Dates as ISO 8601 instants in UTC (2024-01-02T10:00:00Z) instead of local time");
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
