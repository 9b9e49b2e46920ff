#include "CliRunner.h"

#include "support/TempDir.h"

#include <unistd.h>

namespace cli::testing {

namespace {

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

CliResult RunVelmoraCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments)
{
    static int counter = 0;
    const std::filesystem::path errFile =
        std::filesystem::temp_directory_path() /
        ("velmora-cli-run-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::string command = "cd " + ShellQuoted(folder.string()) + " && " + ShellQuoted(VELMORA_CLI_BINARY);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    CliResult result;
    result.out = testsupport::RunCommand(command + " 2>" + ShellQuoted(errFile.string()), &result.status);
    result.err = testsupport::ReadFileBytes(errFile);
    std::filesystem::remove(errFile);
    return result;
}

int RunPython(const std::vector<std::string>& arguments, std::string* output)
{
    std::string command = "python3";
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    int status = -1;
    *output = testsupport::RunCommand(command + " 2>&1", &status);
    return status;
}

} // namespace cli::testing
