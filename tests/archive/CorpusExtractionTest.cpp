#include "archive/ArchiveErrors.h"
#include "archive/ExtractPackage.h"
#include "archive/TArchiveReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace {

using testsupport::RealCorpusDir;
using testsupport::RunCommand;
using testsupport::TempDir;

class CorpusExtraction : public ::testing::TestWithParam<std::string>
{
};

// Every real package extracts to exactly what an independent reader finds in it; packages that reader
// refuses are refused here too, with an archive error rather than a crash or a partial success.
TEST_P(CorpusExtraction, MatchesPythonZipfile)
{
    const std::filesystem::path package = RealCorpusDir() / GetParam();
    TempDir dir;
    const std::filesystem::path out = dir / "out";
    std::string failure;
    try {
        archive::ExtractPackage(package, out);
    } catch (const archive::EArchiveError& e) {
        failure = e.what();
    }
    const std::string verdict =
        RunCommand("python3 '" VELMORA_SOURCE_DIR "/tests/archive/compare_extraction.py' '" +
                   package.string() + "' '" + out.string() + "'");
    if (verdict == "unreadable\n") {
        EXPECT_FALSE(failure.empty()) << "extracted a package python cannot read";
    } else {
        EXPECT_EQ(failure, "");
        EXPECT_EQ(verdict, "ok\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Real,
                         CorpusExtraction,
                         ::testing::ValuesIn(testsupport::RealCorpusPackages()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

} // namespace

namespace {

std::string CoreXmlOf(const std::filesystem::path& package)
{
    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.OpenDirectory();
    const archive::TZipHeaderInfo* core = reader.FindMember("docProps/core.xml");
    return core != nullptr ? reader.ExtractToMemory(*core, 1 << 20) : std::string("-");
}

// Readers share nothing: several at once on different packages read what one alone reads.
TEST(ParallelReaders, ReadTheSameAsOneAtATime)
{
    std::vector<std::filesystem::path> packages;
    std::vector<std::string> expected;
    for (const std::string& name : testsupport::RealCorpusPackages()) {
        try {
            expected.push_back(CoreXmlOf(RealCorpusDir() / name));
            packages.push_back(RealCorpusDir() / name);
        } catch (const archive::EArchiveError&) {
        }
    }
    ASSERT_GT(packages.size(), 8U);
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 3; ++round) {
                for (std::size_t i = t; i < packages.size(); i += 2) {
                    mismatches[t] += CoreXmlOf(packages[i]) != expected[i] ? 1 : 0;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

} // namespace
