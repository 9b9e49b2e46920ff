#include "cli/ExportCommand.h"

#include "archive/AtomicReplace.h"
#include "cli/CommandLine.h"
#include "cli/CustomOutput.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "engine/base/PathMessage.h"
#include "export/BuildCsv.h"
#include "export/DefaultCaptions.h"
#include "export/ExportError.h"
#include "export/ExportSnapshot.h"
#include "export/ExportTarget.h"
#include "export/ExportToFile.h"
#include "export/SpreadsheetFileName.h"

#include <cerrno>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

const std::map<std::string, exporting::ExportFormat> kFormats = {
    {"html", exporting::ExportFormat::Html}, {"text", exporting::ExportFormat::Text},
    {"xml", exporting::ExportFormat::Xml},   {"xlsx", exporting::ExportFormat::Spreadsheet},
    {"csv", exporting::ExportFormat::Csv},
};

struct ExportOptions
{
    std::string format;
    std::string output;
    bool custom = false;
    bool utc = false;
    std::string extensions;
    std::vector<std::string> paths;
};

// The heading of an export written to standard output, where there is no file name to take it from.
constexpr std::string_view kStandardOutputTitle = "Document properties";

// Writes the export to standard output; a failed write (a closed or full output) ends the command
// with exit status 1.
void ExportToStandardOutput(exporting::ExportFormat format, const exporting::GridSnapshot& snapshot)
{
    errno = 0;
    exporting::ExportToStream(format, snapshot, kStandardOutputTitle, std::cout);
    FlushStandardOutput("the export");
}

// CSV without custom columns is written a batch of rows at a time, as the rows are read, so that an
// export of a whole file share holds one batch: to standard output as it comes, or to a file beside
// the target that replaces it once every row is written. The target is checked against each batch's
// packages; a refused target, an export of nothing or a failed write leave it as it was.
void RunStreamedCsvExport(const ExportOptions& options, const std::vector<std::string>& paths)
{
    const std::string& output = options.output;
    const bool toStandardOutput = output == exporting::kStandardOutputTarget;
    if (const auto problem = exporting::ExportTargetProblem(exporting::ExportFormat::Csv, output, {})) {
        Complain(*problem);
        FinishCommand(kExitUsage);
        return;
    }
    std::optional<archive::TemporaryArchive> file;
    if (!toStandardOutput) {
        try {
            file.emplace(output);
        } catch (const std::exception& e) {
            throw std::runtime_error(engine::PathMessage(output, e.what()));
        }
    }
    std::size_t failed = 0;
    std::size_t written = 0;
    bool refused = false;
    std::ostringstream text;
    StreamRows(
        paths, ScanExtensionList(options.extensions),
        [&](engine::VectorDocumentList& batch) {
            if (refused) {
                return;
            }
            std::vector<std::string> packages;
            for (std::size_t row = 0; row < batch.RowCount(); ++row) {
                packages.push_back(batch.RecordAt(row).FullPath);
            }
            if (const auto problem = exporting::ExportTargetProblem(exporting::ExportFormat::Csv, output, packages)) {
                Complain(*problem);
                refused = true;
                return;
            }
            const exporting::GridSnapshot snapshot = exporting::ExportSnapshot(
                exporting::ExportFormat::Csv, batch, exporting::DefaultCaptions(), false, {}, options.utc);
            text.str({});
            if (written == 0) {
                exporting::BuildCsvHeader(text, snapshot);
            }
            exporting::BuildCsvRecords(text, snapshot);
            written += batch.RowCount();
            if (file) {
                try {
                    file->Write(std::move(text).str());
                } catch (const std::exception& e) {
                    throw std::runtime_error(engine::PathMessage(output, e.what()));
                }
            } else {
                std::cout << std::move(text).str();
                SyncStandardOutput();
            }
            failed += ReportLoadErrors(batch);
        },
        ComplainCounting(failed));
    if (refused) {
        FinishCommand(kExitUsage); // the file beside the target goes with it
        return;
    }
    if (written == 0) {
        Complain(std::string("no package to export; ") +
                 (toStandardOutput ? std::string("nothing is written") : output + " is left as it is"));
        FinishCommand(kExitFailures);
        return;
    }
    if (file) {
        try {
            file->Commit();
        } catch (const std::exception& e) {
            throw std::runtime_error(engine::PathMessage(output, e.what()));
        }
    } else {
        FlushStandardOutput("the export");
    }
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

void RunExport(const ExportOptions& options)
{
    if (kFormats.at(options.format) == exporting::ExportFormat::Csv && !options.custom) {
        RunStreamedCsvExport(options, CommandPaths(options.paths));
        return;
    }
    std::vector<std::string> unreadable;
    const std::string extensionList = ScanExtensionList(options.extensions);
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    if (options.custom) {
        ReportCustomPartErrors(rows);
    }
    ComplainAll(unreadable);
    const std::size_t failed = ReportLoadErrors(rows) + unreadable.size();
    if (rows.RowCount() == 0) {
        // An empty grid would replace the target with a table of nothing while the command fails.
        Complain(std::string("no package to export; ") +
                 (options.output == exporting::kStandardOutputTarget ? std::string("nothing is written")
                                                                     : options.output + " is left as it is"));
        FinishCommand(kExitFailures);
        return;
    }
    const exporting::ExportFormat format = kFormats.at(options.format);
    std::string output = options.output;
    const bool toStandardOutput = output == exporting::kStandardOutputTarget;
    if (toStandardOutput && format == exporting::ExportFormat::Spreadsheet && isatty(STDOUT_FILENO) == 1) {
        Complain("a workbook is not written to a terminal; redirect standard output or give --output FILE");
        FinishCommand(kExitUsage);
        return;
    }
    if (format == exporting::ExportFormat::Spreadsheet && !toStandardOutput) {
        output = exporting::SpreadsheetFileName(output);
        if (output != options.output) {
            Complain(options.output, "writing " + output + " instead: a workbook is not in the older .xls format");
        }
    }
    std::vector<std::string> packages;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        packages.push_back(rows.RecordAt(row).FullPath);
    }
    if (const auto problem = exporting::ExportTargetProblem(format, output, packages)) {
        Complain(*problem);
        FinishCommand(kExitUsage);
        return;
    }
    // Rows whose package could not be read stay in the grid with their file facts, as in the window.
    // A file that cannot be written ends the command with its reason (exit status 1).
    const exporting::GridSnapshot snapshot = exporting::ExportSnapshot(
        format, rows, exporting::DefaultCaptions(), options.custom, {}, options.utc);
    try {
        if (toStandardOutput) {
            ExportToStandardOutput(format, snapshot);
        } else {
            exporting::ExportToFile(format, snapshot, output);
        }
    } catch (const exporting::EExportError& e) {
        // The spreadsheet's message names its file itself.
        throw std::runtime_error(format == exporting::ExportFormat::Spreadsheet
                                     ? std::string(e.what())
                                     : engine::PathMessage(output, e.what()));
    }
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddExportCommand(CLI::App& app)
{
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Write the document properties of packages to a file");
    command->add_option("--format", options->format, "html, text, xml, xlsx or csv")
        ->required()
        ->check(CLI::IsMember({"html", "text", "xml", "xlsx", "csv"}));
    command
        ->add_option(
            "--output", options->output,
            "The file to write; an existing file is replaced, except a package (a workbook named *.xls is "
            "written as *.xlsx); - writes to standard output (a workbook only when that is not a terminal)")
        ->required();
    command->add_flag("--custom", options->custom, "Add one column per custom property name");
    command->add_flag(
        "--utc", options->utc,
        "Dates as ISO 8601 instants in UTC (2024-01-02T10:00:00Z) in every format (default: local "
        "time, in CSV with its offset, 2024-01-02T11:00:00+01:00)");
    AddFileTypesOption(*command, options->extensions);
    command->add_option("paths", options->paths,
                        "Packages, or folders searched recursively for *.pptx (required)");
    command->callback([options] { RunExport(*options); });
}

} // namespace cli
