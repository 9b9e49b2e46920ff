#include "cli/CommandLine.h"

#include "cli/CommandHelp.h"
#include "cli/Diagnostics.h"
#include "cli/PathList.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace cli {

namespace {

// The arguments after "--". The parser is not given them: inside a subcommand it hands "--" back
// to the main command once a positional has been seen, and the main command would then read the
// following paths as options.
std::vector<std::string>& TrailingArguments()
{
    static std::vector<std::string> trailing;
    return trailing;
}

// --files-from and --null, which every command that takes paths has; the list is read once.
struct PathListArguments
{
    std::string file; // empty: no list
    bool nullSeparated = false;
    bool read = false;
    std::vector<std::string> paths;
};

PathListArguments& PathListGiven()
{
    static PathListArguments given;
    return given;
}

void AddPathListOptions(CLI::App& command)
{
    CLI::Option* list =
        command.add_option("--files-from", PathListGiven().file,
                           "Read further paths from FILE, one a line as written ('-': standard input)")
            ->type_name("FILE");
    command
        .add_flag("--null,-0", PathListGiven().nullSeparated,
                  "The --files-from list is separated by NUL characters (find -print0), so names may "
                  "hold newlines")
        ->needs(list);
}

// Every flag of every command takes no value: "--dry-run=false" is a usage error, never a dry run
// quietly turned off (or on). The parser refuses a flag's value unless it is the flag's own
// ("true", or empty); those are refused here, where the arguments are still as typed.
void RefuseFlagValues(CLI::App& app, const std::vector<std::string>& arguments)
{
    std::vector<CLI::App*> commands = app.get_subcommands([](CLI::App*) { return true; });
    commands.push_back(&app);
    for (CLI::App* command : commands) {
        for (CLI::Option* option : command->get_options()) {
            if (option->get_expected_max() == 0) {
                option->disable_flag_override();
            }
        }
    }
    const CLI::App* command = &app;
    bool valueNext = false;
    for (const std::string& argument : arguments) {
        if (valueNext) {
            valueNext = false;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (command == &app) {
                const auto named =
                    app.get_subcommands([&](const CLI::App* sub) { return sub->check_name(argument); });
                if (!named.empty()) {
                    command = named.front();
                }
            }
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const CLI::Option* option = command->get_option_no_throw(name);
        if (option == nullptr && command != &app) {
            option = app.get_option_no_throw(name);
        }
        if (option == nullptr) {
            continue;
        }
        if (option->get_expected_max() == 0) {
            if (equals != std::string::npos) {
                throw CLI::ArgumentMismatch(name + " takes no value: give \"" + name + "\" alone, not \"" +
                                            argument + "\"");
            }
        } else if (equals == std::string::npos) {
            valueNext = true; // "--set --json" sets a property named "--json"
        }
    }
}

// Whether a failed write to standard output was reported already, so that it is said once.
bool& OutputFailureReported()
{
    static bool reported = false;
    return reported;
}

// The reason the first failed flush of standard output gave: the library drops the unwritten
// bytes, so a later flush may fail without one.
std::string& FirstOutputFailure()
{
    static std::string reason;
    return reason;
}

// Flushes standard output; the reason when what was written to it did not all arrive.
std::optional<std::string> StandardOutputProblem()
{
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    const int error = errno;
    if (!failed) {
        return std::nullopt;
    }
    if (FirstOutputFailure().empty()) {
        FirstOutputFailure() = error != 0 ? std::strerror(error) : "write error";
    }
    return FirstOutputFailure();
}

} // namespace

int CheckedExitStatus(int status)
{
    const int failed = status == kExitOk ? kExitFailures : status;
    if (const auto problem = StandardOutputProblem(); problem && !OutputFailureReported()) {
        OutputFailureReported() = true;
        std::cerr << "velmora-cli: standard output: cannot write: " << *problem << '\n';
        status = failed;
    } else if (problem) {
        status = failed;
    }
    std::cerr.flush();
    if (!std::cerr || std::fflush(stderr) != 0 || std::ferror(stderr) != 0) {
        status = failed;
    }
    return status;
}

void SyncStandardOutput()
{
    (void)StandardOutputProblem();
}

void FinishCommand(int status)
{
    if (status != kExitOk) {
        // A RuntimeError comes back out of parse() without a message of its own.
        throw CLI::RuntimeError(status);
    }
}

std::vector<std::string> GivenPaths(const std::vector<std::string>& parsed)
{
    std::vector<std::string> paths = parsed;
    paths.insert(paths.end(), TrailingArguments().begin(), TrailingArguments().end());
    PathListArguments& list = PathListGiven();
    if (!list.file.empty() && !list.read) {
        try {
            list.paths = ReadPathList(list.file, list.nullSeparated);
        } catch (const std::runtime_error& e) {
            throw CLI::ValidationError("--files-from", e.what());
        }
        list.read = true;
    }
    paths.insert(paths.end(), list.paths.begin(), list.paths.end());
    return paths;
}

bool PathListGivenToCommand()
{
    return !PathListGiven().file.empty();
}

std::vector<std::string> CommandPaths(const std::vector<std::string>& parsed)
{
    std::vector<std::string> paths = GivenPaths(parsed);
    // An empty list is no mistake (a search that found nothing); no paths at all is.
    if (paths.empty() && PathListGiven().file.empty()) {
        throw CLI::RequiredError("paths");
    }
    return paths;
}

int RunApp(CLI::App& app, int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    TrailingArguments().clear();
    PathListGiven() = {};
    bool trailing = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!trailing && argument == "--") {
            trailing = true;
        } else {
            (trailing ? TrailingArguments() : arguments).push_back(argument);
        }
    }
    app.footer(ExitCodesHelp()); // set after the commands were added, which would copy it
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        if (command->get_option_no_throw("paths") != nullptr || command->get_option_no_throw("path") != nullptr) {
            AddPathListOptions(*command);
        }
    }
    // A usage error is said in the tool's one message form too, hint included.
    app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
        std::ostringstream message;
        WriteComplaint(message, CLI::FailureMessage::simple(failed, e));
        return message.str();
    });
    int status = kExitOk;
    try {
        RefuseFlagValues(app, arguments);
        std::reverse(arguments.begin(), arguments.end()); // the parser takes its arguments in reverse
        app.parse(arguments);
    } catch (const CLI::CallForHelp& e) {
        status = app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        status = app.exit(e);
    } catch (const CLI::RuntimeError& e) {
        status = e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        status = kExitUsage;
    } catch (const std::exception& e) {
        Complain(e.what());
        status = kExitFailures;
    }
    return CheckedExitStatus(status);
}

void FlushStandardOutput(const std::string& what)
{
    if (const auto problem = StandardOutputProblem(); problem && !OutputFailureReported()) {
        OutputFailureReported() = true;
        throw std::runtime_error("standard output: cannot write " + what + ": " + *problem);
    }
}

} // namespace cli
