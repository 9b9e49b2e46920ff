#pragma once

#include <filesystem>
#include <string>
#include <vector>

// velmora-cli run as a user runs it, for the command tests.
namespace cli::testing {

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs velmora-cli in folder with the given time zone.
CliRun RunCli(const std::filesystem::path& folder,
              const std::vector<std::string>& arguments,
              const std::string& zone = "UTC");

// The .pptx names of the real corpus, sorted.
std::vector<std::string> CorpusPackages();

// A writable copy of the corpus packages in a folder.
void CopyCorpus(const std::filesystem::path& to);

// Runs python3 with the arguments (each quoted); the exit status, and its output in *output.
int RunPython(const std::vector<std::string>& arguments, std::string* output);

} // namespace cli::testing
