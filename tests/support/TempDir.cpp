#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <system_error>
#include <vector>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = buffer.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only entries behind; make them writable so removal succeeds.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(
            it->path(), std::filesystem::perms::owner_all,
            std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow, ec);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::filesystem::path SharedDir()
{
    const char* chosen = std::getenv("VELMORA_SHARED_DIR");
    return std::filesystem::path(chosen != nullptr && *chosen != '\0' ? chosen : VELMORA_SHARED_DIR);
}

std::filesystem::path RealCorpusDir()
{
    return SharedDir() / "corpus" / "real";
}

std::vector<std::string> RealCorpusPackages()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(RealCorpusDir(), ec)) {
        if (entry.path().extension() == ".pptx") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HaveRealCorpus()
{
    return !RealCorpusPackages().empty();
}

std::string RealCorpusMissing()
{
    return "skipped: needs the real-world corpus, not found in " +
           RealCorpusDir().lexically_normal().string() +
           " (set VELMORA_SHARED_DIR to the folder that holds corpus/real)";
}

std::vector<std::string> RealCorpusTestPackages()
{
    std::vector<std::string> names = RealCorpusPackages();
    if (names.empty()) {
        names.push_back("no_real_corpus.pptx");
    }
    return names;
}

std::string RunCommand(const std::string& command, int* exitCode)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + command);
    }
    std::string output;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    if (exitCode != nullptr) {
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return output;
}

std::string Repeat(const std::string& unit, std::size_t times)
{
    std::string out;
    out.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += unit;
    }
    return out;
}

} // namespace testsupport
