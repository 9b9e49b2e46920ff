#pragma once

#include <filesystem>
#include <string>
#include <vector>

// velmora-cli driven as a user runs it: arguments, exit status, standard output and error.
namespace cli {

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// The text in single quotes for the shell.
std::string Quoted(const std::string& text);

// Runs velmora-cli in folder with the given zone; environment holds more "NAME=VALUE" settings.
CliRun RunCli(const std::filesystem::path& folder,
              const std::vector<std::string>& arguments,
              const std::string& zone = "UTC",
              const std::string& environment = "");

} // namespace cli
