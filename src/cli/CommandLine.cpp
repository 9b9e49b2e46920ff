#include "cli/CommandLine.h"

#include "cli/CommandHelp.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
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

} // namespace

void FinishCommand(int status)
{
    if (status != kExitOk) {
        // A RuntimeError comes back out of parse() without a message of its own.
        throw CLI::RuntimeError(status);
    }
}

std::vector<std::string> CommandPaths(const std::vector<std::string>& parsed)
{
    std::vector<std::string> paths = parsed;
    paths.insert(paths.end(), TrailingArguments().begin(), TrailingArguments().end());
    if (paths.empty()) {
        throw CLI::RequiredError("paths");
    }
    return paths;
}

int RunApp(CLI::App& app, int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    TrailingArguments().clear();
    bool trailing = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!trailing && argument == "--") {
            trailing = true;
        } else {
            (trailing ? TrailingArguments() : arguments).push_back(argument);
        }
    }
    std::reverse(arguments.begin(), arguments.end()); // the parser takes its arguments in reverse
    app.footer(ExitCodesHelp()); // set after the commands were added, which would copy it
    try {
        app.parse(arguments);
        return kExitOk;
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::RuntimeError& e) {
        return e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "velmora-cli: " << e.what() << '\n';
        return kExitFailures;
    }
}

void FlushStandardOutput(const std::string& what)
{
    std::cout.flush();
    if (!std::cout || std::ferror(stdout) != 0) {
        const int error = errno;
        throw std::runtime_error("standard output: cannot write " + what + ": " +
                                 (error != 0 ? std::strerror(error) : "write error"));
    }
}

} // namespace cli
