#include "CliRunner.h"

#include "support/TempDir.h"

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

CliRun RunCli(const fs::path& folder,
              const std::vector<std::string>& arguments,
              const std::string& zone,
              const std::string& environment)
{
    static int counter = 0;
    const fs::path errFile = fs::temp_directory_path() / ("velmora-cli-run-" + std::to_string(getpid()) +
                                                          "-" + std::to_string(counter++));
    std::string command =
        "cd " + Quoted(folder.string()) + " && TZ=" + zone + " " + environment + " " + VELMORA_CLI_BINARY;
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    CliRun run;
    run.out = testsupport::RunCommand(command + " 2>" + Quoted(errFile.string()), &run.status);
    run.err = testsupport::ReadFileBytes(errFile);
    fs::remove(errFile);
    return run;
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
