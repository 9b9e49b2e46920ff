#include "support/CorpusParts.h"

#include "support/TempDir.h"

#include <sstream>
#include <stdexcept>

namespace testsupport {

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<CorpusPart> ExtractCorpusParts(const std::filesystem::path& folder)
{
    const std::filesystem::path script =
        std::filesystem::path(VELMORA_SOURCE_DIR) / "tests" / "support" / "extract_property_parts.py";
    int exitCode = -1;
    const std::string output =
        RunCommand("cd " + ShellQuote(RealCorpusDir().string()) + " && python3 " +
                       ShellQuote(script.string()) + " " + ShellQuote(folder.string()) + " *.pptx",
                   &exitCode);
    if (exitCode != 0) {
        throw std::runtime_error("extracting the corpus parts failed");
    }
    std::vector<CorpusPart> parts;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        CorpusPart part;
        std::string file;
        std::getline(fields, part.Package, '\t');
        std::getline(fields, part.Kind, '\t');
        std::getline(fields, part.Status, '\t');
        std::getline(fields, file);
        part.File = file;
        parts.push_back(std::move(part));
    }
    return parts;
}

} // namespace testsupport
