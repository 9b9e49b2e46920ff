#include "cli/ThumbnailCommand.h"

#include "archive/AtomicReplace.h"
#include "cli/CommandLine.h"
#include "cli/Diagnostics.h"
#include "engine/package/ReadThumbnail.h"
#include "engine/base/PathMessage.h"
#include "export/ExportTarget.h"

#include <cerrno>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace cli {

namespace {

struct ThumbnailOptions
{
    std::string output;
    std::vector<std::string> paths;
};

void RunThumbnail(const ThumbnailOptions& options)
{
    const std::vector<std::string> paths = CommandPaths(options.paths);
    if (paths.size() != 1) {
        Complain("thumbnail reads one package, not " + std::to_string(paths.size()));
        FinishCommand(kExitUsage);
        return;
    }
    const std::string& package = paths.front();
    const bool toStandardOutput = options.output == exporting::kStandardOutputTarget;
    if (toStandardOutput && isatty(STDOUT_FILENO) == 1) {
        Complain("a thumbnail is not written to a terminal; redirect standard output or give --output FILE");
        FinishCommand(kExitUsage);
        return;
    }
    if (const auto problem =
            exporting::OutputTargetProblem(options.output, {package}, {"a thumbnail", "read", ""})) {
        Complain(*problem);
        FinishCommand(kExitUsage);
        return;
    }
    const engine::Thumbnail thumbnail = engine::ReadThumbnail(package);
    if (!thumbnail.Ok()) {
        Complain(package, thumbnail.Error);
        FinishCommand(kExitFailures);
        return;
    }
    if (toStandardOutput) {
        errno = 0;
        std::cout.write(thumbnail.Bytes.data(), static_cast<std::streamsize>(thumbnail.Bytes.size()));
        FlushStandardOutput("the thumbnail");
        return;
    }
    try {
        archive::ReplaceFileContent(options.output, thumbnail.Bytes);
    } catch (const std::exception& e) {
        throw std::runtime_error(engine::PathMessage(options.output, e.what()));
    }
}

} // namespace

void AddThumbnailCommand(CLI::App& app)
{
    auto options = std::make_shared<ThumbnailOptions>();
    CLI::App* command =
        app.add_subcommand("thumbnail", "Write the thumbnail picture a package carries to a file");
    command
        ->add_option("--output", options->output,
                     "The file to write, the thumbnail's bytes as the package holds them (often JPEG); an "
                     "existing file is replaced, except a package; - writes to standard output (only when "
                     "that is not a terminal)")
        ->required();
    command->add_option("path", options->paths, "The package (exactly one; required)");
    command->callback([options] { RunThumbnail(*options); });
}

} // namespace cli
