#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

// What every command shares: exit statuses, the run of the parser, and the paths given after "--".
namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailures = 1; // some package could not be read or saved
inline constexpr int kExitUsage = 2;

// Ends a command's callback with the given exit status (RunApp turns it into the process's).
void FinishCommand(int status);
// Flushes what a command wrote to standard output; a failed write (a closed or full output) throws
// "standard output: cannot write WHAT: reason", which ends the command with exit status 1. RunApp
// checks standard output (and error) once more when any command ends, so a command that writes
// nothing more after its output needs no call of its own.
void FlushStandardOutput(const std::string& what);

// Flushes standard output, so that it keeps its order with the lines that follow on standard error;
// a failed write is kept and fails the command when it ends.
void SyncStandardOutput();
// The exit status once what the command wrote has arrived: a full or closed standard output fails
// it (1 unless it failed already) with the reason on standard error, said once; a standard error
// that cannot be written fails it too, without a word.
[[nodiscard]] int CheckedExitStatus(int status);

// The paths a command works on: those the parser collected, every argument after the first "--"
// (paths even when they look like options), then those of the --files-from list. A list that
// cannot be read throws CLI::ValidationError (a usage error).
std::vector<std::string> GivenPaths(const std::vector<std::string>& parsed);
// GivenPaths, which must name some path unless a --files-from list was given (an empty list is no
// mistake): throws CLI::RequiredError when none.
std::vector<std::string> CommandPaths(const std::vector<std::string>& parsed);
// True when the command was given a --files-from list (even an empty one).
[[nodiscard]] bool PathListGivenToCommand();

// Runs the tool on the arguments and returns the exit status; --help on every command.
int RunApp(CLI::App& app, int argc, const char* const* argv);

} // namespace cli
