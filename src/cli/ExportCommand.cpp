#include "cli/ExportCommand.h"

#include "cli/CommandLine.h"
#include "cli/CustomOutput.h"
#include "cli/Diagnostics.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "engine/base/PathMessage.h"
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

void RunExport(const ExportOptions& options)
{
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
