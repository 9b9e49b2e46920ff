#include "Version.h"
#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/ImportCommand.h"
#include "cli/SetCommand.h"
#include "cli/ShowCommand.h"
#include "cli/ThumbnailCommand.h"
#include "cli/UndoCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <string_view>
#include <unistd.h>
#include <utility>

int main(int argc, char** argv)
{
    // A standard stream the caller closed is held by /dev/null opened the other way round, so that
    // no package or temporary file the command opens takes its number (and receives its lines),
    // while every write to it still fails as on a closed stream.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            (void)open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        }
    }
    // The user's character set and number separators; the other categories would only cost start-up
    // time (every one is a file to find and map), and messages stay in one language.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_NUMERIC, "");
    // --version alone answers before any command is set up, with exit status 0.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::puts("velmora-cli " VELMORA_VERSION);
        return cli::CheckedExitStatus(cli::kExitOk);
    }
    CLI::App app{"Show and change the document properties of PowerPoint packages", "velmora-cli"};
    app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION, "Print the version and exit");
    app.require_subcommand(1);
    // Setting up a command's options costs more than reading a small package, so when the first
    // argument names a command only that one is set up; anything else (help, a mistake) gets all.
    using AddCommand = void (*)(CLI::App&);
    static constexpr std::pair<std::string_view, AddCommand> kCommands[] = {
        {"show", cli::AddShowCommand},           {"set", cli::AddSetCommand},
        {"export", cli::AddExportCommand},       {"history", cli::AddHistoryCommand},
        {"undo", cli::AddUndoCommand},           {"import", cli::AddImportCommand},
        {"thumbnail", cli::AddThumbnailCommand},
    };
    const auto named = std::find_if(std::begin(kCommands), std::end(kCommands), [&](const auto& command) {
        return argc > 1 && command.first == argv[1];
    });
    if (named != std::end(kCommands)) {
        named->second(app);
    } else {
        for (const auto& command : kCommands) {
            command.second(app);
        }
    }
    return cli::RunApp(app, argc, argv);
}
