#include "CliRunner.h"

#include "support/TempDir.h"

#include <sstream>
#include <unistd.h>

namespace clitest {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

namespace {

fs::path RunFile(const char* what)
{
    static int counter = 0;
    return fs::temp_directory_path() / ("velmora-cli-" + std::string(what) + "-" + std::to_string(getpid()) +
                                        "-" + std::to_string(counter++));
}

CliRun Run(const fs::path& folder,
           const std::vector<std::string>& arguments,
           const std::string& zone,
           const std::string& environment,
           const std::string& redirections)
{
    const fs::path errFile = RunFile("run");
    std::string command =
        "cd " + Quoted(folder.string()) + " && TZ=" + zone + " " + environment + " " + VELMORA_CLI_BINARY;
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    CliRun run;
    run.out = testsupport::RunCommand(command + " 2>" + Quoted(errFile.string()) + redirections, &run.status);
    run.err = testsupport::ReadFileBytes(errFile);
    fs::remove(errFile);
    return run;
}

} // namespace

CliRun RunCli(const fs::path& folder,
              const std::vector<std::string>& arguments,
              const std::string& zone,
              const std::string& environment)
{
    return Run(folder, arguments, zone, environment, "");
}

CliRun
RunCliWithInput(const fs::path& folder, const std::vector<std::string>& arguments, const std::string& input)
{
    const fs::path inputFile = RunFile("input");
    testsupport::WriteFileBytes(inputFile, input);
    CliRun run = Run(folder, arguments, "UTC", "", " <" + Quoted(inputFile.string()));
    fs::remove(inputFile);
    return run;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> HistoryRunLines(const std::string& history)
{
    std::vector<std::string> runs;
    for (const std::string& line : Lines(history)) {
        if (!line.empty() && line[0] != ' ') {
            runs.push_back(line);
        }
    }
    return runs;
}

void CopyCorpus(const fs::path& to)
{
    for (const std::string& name : testsupport::RealCorpusPackages()) {
        fs::copy_file(testsupport::RealCorpusDir() / name, to / name);
        fs::permissions(to / name, fs::perms::owner_write, fs::perm_options::add);
    }
}

int RunPython(const std::vector<std::string>& arguments, std::string* output)
{
    std::string command = "python3";
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    int status = -1;
    *output = testsupport::RunCommand(command + " 2>&1", &status);
    return status;
}

} // namespace clitest
