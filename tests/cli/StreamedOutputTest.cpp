#include "CliRunner.h"
#include "support/PackageBuilder.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// show writes its rows a batch at a time: across batch boundaries the output must be exactly the
// listing of every row, in the given order, with the problems of every batch reported.
namespace {

namespace fs = std::filesystem;

using clitest::CliRun;
using clitest::RunCli;
using testsupport::TempDir;

constexpr int kPackages = 600; // more than two batches

std::string Name(int i)
{
    return "deck" + std::to_string(10000 + i) + ".pptx";
}

class StreamedOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir / "share");
        for (int i = 0; i < kPackages; ++i) {
            testsupport::Deck(testsupport::CoreXml("<dc:title>Deck " + std::to_string(i) + "</dc:title>"), "", "")
                .WriteTo(m_dir / "share" / Name(i));
        }
        testsupport::WriteFileBytes(m_dir / "share" / "deck10300bad.pptx", std::string(600, 'x'));
    }

    TempDir m_dir;
};

TEST_F(StreamedOutputTest, EveryFormatListsEveryRowInOrderAcrossBatches)
{
    const std::vector<std::string> paths{"share", "missing.pptx", "share/" + Name(3)};
    std::vector<std::string> arguments{"show", "--jsonl"};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    const CliRun lines = RunCli(m_dir.Path(), arguments);
    EXPECT_EQ(lines.status, 1);
    const std::vector<std::string> objects = clitest::Lines(lines.out);
    ASSERT_EQ(objects.size(), kPackages + 2U) << lines.err; // the bad package is a row with its error
    for (int i = 0; i < kPackages; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) + (i > 300 ? 1 : 0);
        EXPECT_NE(objects[at].find("\"FileName\": \"" + Name(i) + "\""), std::string::npos) << at;
        EXPECT_NE(objects[at].find("\"Title\": \"Deck " + std::to_string(i) + "\""), std::string::npos) << at;
        EXPECT_EQ(objects[at].front(), '{');
        EXPECT_EQ(objects[at].back(), '}');
    }
    EXPECT_NE(objects.back().find(Name(3)), std::string::npos); // the file named after the folder
    EXPECT_NE(lines.err.find("velmora-cli: missing.pptx: No such file or directory\n"), std::string::npos);
    EXPECT_NE(lines.err.find("velmora-cli: share/deck10300bad.pptx: "), std::string::npos) << lines.err;

    // The array holds the same objects, one key a line.
    arguments[1] = "--json";
    const CliRun array = RunCli(m_dir.Path(), arguments);
    EXPECT_EQ(array.status, 1);
    testsupport::WriteFileBytes(m_dir / "array.json", array.out);
    testsupport::WriteFileBytes(m_dir / "lines.jsonl", lines.out);
    std::string output;
    EXPECT_EQ(clitest::RunPython({"-c",
                                  "import json, sys\n"
                                  "array = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                                  "lines = [json.loads(l) for l in open(sys.argv[2], encoding='utf-8')]\n"
                                  "sys.exit(0 if array == lines else 1)\n",
                                  (m_dir / "array.json").string(), (m_dir / "lines.jsonl").string()},
                                 &output),
              0)
        << output;

    // CSV: one header, then one record per row.
    arguments[1] = "--csv";
    const std::vector<std::string> csv = clitest::Lines(RunCli(m_dir.Path(), arguments).out);
    ASSERT_EQ(csv.size(), kPackages + 3U);
    EXPECT_EQ(csv.front().rfind("FileName,FullPath,", 0), 0U);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), csv.front()), 1);

    // The table: one header, every row on its own line, columns parted by at least two blanks.
    arguments[1] = "--stats";
    const std::vector<std::string> table = clitest::Lines(RunCli(m_dir.Path(), arguments).out);
    ASSERT_EQ(table.size(), kPackages + 3U);
    EXPECT_EQ(table.front().rfind("FileName  ", 0), 0U);
    EXPECT_EQ(table[1].find(Name(0) + "  "), 0U);
    EXPECT_EQ(table[kPackages + 1].find(Name(kPackages - 1) + "  "), 0U);
}

// The CSV export written a batch at a time is the listing of show --csv; a target found among the
// packages only in a later batch is refused with nothing written, nothing left beside it.
TEST_F(StreamedOutputTest, CsvExportAcrossBatchesReplacesTheTargetOnlyWhenComplete)
{
    const CliRun shown = RunCli(m_dir.Path(), {"show", "--csv", "share"});
    const CliRun exported = RunCli(m_dir.Path(), {"export", "--format", "csv", "--output", "out.csv", "share"});
    EXPECT_EQ(exported.status, 1) << exported.err; // the bad package
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir / "out.csv"), shown.out);

    const std::string notes = std::string(700, 'n');
    testsupport::WriteFileBytes(m_dir / "notes.csv", notes);
    const CliRun refused =
        RunCli(m_dir.Path(), {"export", "--format", "csv", "--output", "notes.csv", "share", "notes.csv"});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find("velmora-cli: notes.csv: "), std::string::npos) << refused.err;
    EXPECT_EQ(testsupport::ReadFileBytes(m_dir / "notes.csv"), notes);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3U); // share, out.csv, notes.csv: no file left beside the target
}

} // namespace
