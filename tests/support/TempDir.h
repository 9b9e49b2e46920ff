#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A fresh, unique folder under the temporary directory, removed with everything in it on scope exit.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }

    [[nodiscard]] std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Reads and writes whole files as bytes.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The shared corpus folder (real-world packages and expectations): the environment variable
// VELMORA_SHARED_DIR when it is set and not empty, otherwise the folder configured at build time
// (../shared beside the checkout).
std::filesystem::path SharedDir();
std::filesystem::path RealCorpusDir();
// The file names of the real corpus's packages (*.pptx), sorted; none without the corpus.
std::vector<std::string> RealCorpusPackages();
// Whether the real corpus is there: its folder holds packages.
bool HaveRealCorpus();
// The one line a test that needs the real corpus gives when it skips: where the corpus was looked for.
std::string RealCorpusMissing();
// RealCorpusPackages() for a parameterised test; without the corpus one stand-in name, so that the
// test is listed and skips rather than vanishing from the run.
std::vector<std::string> RealCorpusTestPackages();

// unit written times times over.
std::string Repeat(const std::string& unit, std::size_t times);

// Runs a shell command and returns its standard output; sets exitCode when given.
std::string RunCommand(const std::string& command, int* exitCode = nullptr);

} // namespace testsupport
