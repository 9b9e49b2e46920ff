#pragma once

#include <filesystem>
#include <string>
#include <vector>

// velmora-cli run as a user runs it, for the command tests: each argument quoted for the shell.
namespace cli::testing {

struct CliResult
{
    int status = -1;
    std::string out;
    std::string err;
};

CliResult RunVelmoraCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments);

// Runs python3 with the arguments (each quoted); the exit status, and its output in *output.
int RunPython(const std::vector<std::string>& arguments, std::string* output);

} // namespace cli::testing
