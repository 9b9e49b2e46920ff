#pragma once

#include <filesystem>
#include <string>
#include <vector>

// velmora-cli run as a user runs it, for the command tests.
namespace clitest {

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

// A text as one shell word.
std::string Quoted(const std::string& text);

// A writable copy of the corpus packages in a folder.
void CopyCorpus(const std::filesystem::path& to);

} // namespace clitest
