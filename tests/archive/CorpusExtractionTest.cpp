#include "archive/ArchiveErrors.h"
#include "archive/ExtractPackage.h"
#include "archive/TArchiveReader.h"
#include "support/PackageBuilder.h"
#include "support/RealCorpus.h"
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
    VELMORA_REQUIRE_REAL_CORPUS();
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
                         ::testing::ValuesIn(testsupport::RealCorpusTestPackages()),
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
    TempDir dir;
    std::vector<std::filesystem::path> packages;
    std::vector<std::string> expected;
    for (int i = 0; i < 12; ++i) {
        // Members of different sizes and methods, so that each reader walks its own directory.
        testsupport::PackageBuilder builder = testsupport::PackageBuilder::Presentation(
            testsupport::CoreXml("<dc:title>Deck " + std::to_string(i) + "</dc:title>" +
                                 testsupport::Repeat("<dc:subject>s</dc:subject>", 50 * i)),
            testsupport::AppXml("<Company>C</Company>"));
        for (int member = 0; member < i; ++member) {
            builder.Add("ppt/slides/slide" + std::to_string(member) + ".xml",
                        testsupport::Repeat("slide ", 300 * member),
                        member % 2 == 0 ? testsupport::PackageBuilder::Method::Stored
                                        : testsupport::PackageBuilder::Method::Deflated);
        }
        packages.push_back(dir / ("deck" + std::to_string(i) + ".pptx"));
        builder.WriteTo(packages.back());
        expected.push_back(CoreXmlOf(packages.back()));
    }
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
