#include "cli/ExportCommand.h"

#include "cli/CommandLine.h"
#include "cli/CustomOutput.h"
#include "cli/FileTypesOption.h"
#include "cli/LoadRows.h"
#include "export/CustomColumns.h"
#include "export/DefaultCaptions.h"
#include "export/ExportToFile.h"
#include "export/GridSnapshot.h"

#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cli {

namespace {

const std::map<std::string, exporting::ExportFormat> kFormats = {
    {"html", exporting::ExportFormat::Html},
    {"text", exporting::ExportFormat::Text},
    {"xml", exporting::ExportFormat::Xml},
    {"xlsx", exporting::ExportFormat::Spreadsheet},
};

struct ExportOptions
{
    std::string format;
    std::string output;
    bool custom = false;
    std::string extensions;
    std::vector<std::string> paths;
};

void RunExport(const ExportOptions& options)
{
    std::vector<std::string> unreadable;
    const std::string extensionList = ScanExtensionList(options.extensions);
    engine::VectorDocumentList rows = LoadRows(CommandPaths(options.paths), &unreadable, {}, extensionList);
    if (options.custom) {
        ReportCustomPartErrors(rows);
    }
    for (const std::string& line : unreadable) {
        std::cerr << line << '\n';
    }
    const std::size_t failed = ReportLoadErrors(rows, std::cerr) + unreadable.size();
    // Rows whose package could not be read stay in the grid with their file facts, as in the window.
    // A file that cannot be written ends the command with its reason (exit status 1).
    exporting::GridSnapshot snapshot = exporting::SnapshotOf(rows, exporting::DefaultCaptions());
    if (options.custom) {
        exporting::AddCustomColumns(snapshot, rows);
    }
    exporting::ExportToFile(kFormats.at(options.format), snapshot, options.output);
    FinishCommand(failed == 0 ? kExitOk : kExitFailures);
}

} // namespace

void AddExportCommand(CLI::App& app)
{
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Write the document properties of packages to a file");
    command->add_option("--format", options->format, "html, text, xml or xlsx")
        ->required()
        ->check(CLI::IsMember({"html", "text", "xml", "xlsx"}));
    command->add_option("--output", options->output, "The file to write; an existing file is replaced")
        ->required();
    command->add_flag("--custom", options->custom, "Add one column per custom property name");
    AddFileTypesOption(*command, options->extensions);
    command->add_option("paths", options->paths,
                        "Packages, or folders searched recursively for *.pptx (required)");
    command->callback([options] { RunExport(*options); });
}

} // namespace cli
