#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/ImportCommand.h"
#include "cli/SetCommand.h"
#include "cli/ShowCommand.h"
#include "cli/UndoCommand.h"

#include <CLI/CLI.hpp>
#include <clocale>

int main(int argc, char** argv)
{
    // The user's character set and number separators; the other categories would only cost start-up
    // time (every one is a file to find and map), and messages stay in one language.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_NUMERIC, "");
    CLI::App app{"Show and change the document properties of PowerPoint packages", "velmora-cli"};
    app.require_subcommand(1);
    cli::AddShowCommand(app);
    cli::AddSetCommand(app);
    cli::AddExportCommand(app);
    cli::AddHistoryCommand(app);
    cli::AddUndoCommand(app);
    cli::AddImportCommand(app);
    return cli::RunApp(app, argc, argv);
}
