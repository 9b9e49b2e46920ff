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
#include <optional>
#include <string>
#include <vector>

namespace cli {

namespace {

struct ShowOptions
{
    bool json = false;
    bool jsonl = false;
    bool csv = false;
    bool custom = false;
    bool stats = false;
    bool utc = false;
    std::string extensions;
    std::vector<std::string> paths;
};

// Writes the rows in the chosen form a batch at a time, each batch as soon as it is loaded.
class ShownRows
{
public:
    explicit ShownRows(const ShowOptions& options)
        : m_options(options)
    {
        if (options.json || options.jsonl) {
            m_json.emplace(std::cout, options.jsonl ? JsonForm::Lines : JsonForm::Array, options.custom,
                           options.stats);
        } else if (!options.csv) {
            m_table.emplace(std::cout, std::vector<std::string>{}, options.stats);
        }
    }

    void Add(engine::VectorDocumentList& batch)
    {
        if (m_options.utc) {
            exporting::PutDatesInForm(batch, exporting::DateForm::Utc);
        }
        if (m_options.custom) {
            ReportCustomPartErrors(batch);
        }
        if (m_json) {
            for (std::size_t row = 0; row < batch.RowCount(); ++row) {
                m_json->Add(batch.RecordAt(row));
            }
        } else if (m_table) {
            m_table->Add(batch);
        } else {
            WriteCsv(batch);
        }
    }

    void Finish()
    {
        if (m_json) {
            m_json->Finish();
        } else if (m_table) {
            m_table->Finish();
        } else if (!m_csvHeaderWritten) {
            engine::VectorDocumentList none;
            WriteCsv(none);
        }
    }

private:
    void WriteCsv(const engine::VectorDocumentList& batch)
    {
        exporting::GridSnapshot grid = exporting::CsvSnapshotOf(
            batch, {}, m_options.utc ? exporting::DateForm::Utc : exporting::DateForm::WithOffset);
        if (m_options.stats) {
            exporting::InsertStatisticColumns(grid, batch, exporting::RowKeys().size());
        }
        if (!m_csvHeaderWritten) {
            exporting::BuildCsvHeader(std::cout, grid);
            m_csvHeaderWritten = true;
        }
        exporting::BuildCsvRecords(std::cout, grid);
    }

    const ShowOptions& m_options;
    std::optional<JsonRowsWriter> m_json;
    std::optional<TableStream> m_table;
    bool m_csvHeaderWritten = false;
};

// The table and CSV with custom properties have a column per custom name of any row, so they are
// written once every row is loaded.
void ShowWithCustomColumns(const ShowOptions& options, const std::vector<std::string>& paths)
{
    std::vector<std::string> unreadable;
    engine::VectorDocumentList rows =
        LoadRows(paths, &unreadable, {}, ScanExtensionList(options.extensions));
    if (options.utc) {
        exporting::PutDatesInForm(rows, exporting::DateForm::Utc);
    }
    ReportCustomPartErrors(rows);
    const std::vector<std::string> customNames = engine::CustomColumnNames(rows);
    if (options.csv) {
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

void RunShow(const ShowOptions& options)
{
    const std::vector<std::string> paths = CommandPaths(options.paths);
    if (options.custom && !options.json && !options.jsonl) {
        ShowWithCustomColumns(options, paths);
        return;
    }
    ShownRows shown(options);
    std::size_t failed = 0;
    // Each batch's rows are written before its problems, so the two streams keep their order.
    StreamRows(
        paths, ScanExtensionList(options.extensions),
        [&](engine::VectorDocumentList& batch) {
            shown.Add(batch);
            SyncStandardOutput();
            failed += ReportLoadErrors(batch);
        },
        ComplainCounting(failed));
    shown.Finish();
    SyncStandardOutput();
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
    CLI::Option* jsonl =
        show->add_flag("--jsonl", options->jsonl, "Write JSON Lines: one object per package and line, as --json");
    json->excludes(csv);
    jsonl->excludes(json)->excludes(csv);
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
