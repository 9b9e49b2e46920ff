#pragma once

#include <filesystem>
#include <string>
#include <vector>

// velmora-cli run as a user runs it, for the command tests: arguments, exit status, standard output
// and error.
namespace clitest {

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// The text in single quotes for the shell.
std::string Quoted(const std::string& text);

// Runs velmora-cli in folder with the given time zone; environment holds more "NAME=VALUE" settings.
CliRun RunCli(const std::filesystem::path& folder,
              const std::vector<std::string>& arguments,
              const std::string& zone = "UTC",
              const std::string& environment = "");

// RunCli with input as its standard input.
CliRun RunCliWithInput(const std::filesystem::path& folder,
                       const std::vector<std::string>& arguments,
                       const std::string& input);

// The lines of a command's output, without their line ends.
std::vector<std::string> Lines(const std::string& text);
// The run lines of `history` (not the package lines indented below them).
std::vector<std::string> HistoryRunLines(const std::string& history);

// A writable copy of the corpus packages in a folder.
void CopyCorpus(const std::filesystem::path& to);

// Runs python3 with the arguments (each quoted); the exit status, and its output in *output.
int RunPython(const std::vector<std::string>& arguments, std::string* output);

} // namespace clitest
