#include "CliRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

// velmora-cli import and set --fill, run as a user runs them.
namespace cli {
namespace {

using clitest::RunCli;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

constexpr const char* kDeck = "docling_sample.pptx";

// What the exports write, read back, changes nothing: the table holds what the packages hold.
TEST(ImportCommand, AnExportReadBackChangesNothing)
{
    TempDir dir;
    clitest::CopyCorpus(dir.Path());
    const auto packages = testsupport::RealCorpusPackages();
    std::vector<std::string> show = {"show", "--csv"};
    show.insert(show.end(), packages.begin(), packages.end());
    WriteFileBytes(dir / "grid.csv", RunCli(dir.Path(), show, "Europe/Berlin").out);
    std::vector<std::string> exportXlsx = {"export", "--format", "xlsx", "--output", "grid.xlsx"};
    exportXlsx.insert(exportXlsx.end(), packages.begin(), packages.end());
    ASSERT_NE(RunCli(dir.Path(), exportXlsx, "Europe/Berlin").status, 2);
    const std::string before = ReadFileBytes(dir / kDeck);
    for (const char* table : {"grid.csv", "grid.xlsx"}) {
        const clitest::CliRun run = RunCli(dir.Path(), {"import", table, "--dry-run"}, "Europe/Berlin");
        EXPECT_EQ(run.out, "") << table; // no change to print
        EXPECT_EQ(run.err.find("is not"), std::string::npos) << run.err;
    }
    EXPECT_EQ(RunCli(dir.Path(), {"import", "grid.xlsx", kDeck}, "Europe/Berlin").out, "");
    EXPECT_EQ(ReadFileBytes(dir / kDeck), before);
}

TEST(ImportCommand, AppliesChangedCellsAndRefusesInvalidOnes)
{
    TempDir dir;
    clitest::CopyCorpus(dir.Path());
    WriteFileBytes(dir / "edit.csv",
                   std::string("FullPath;Title;Revision;Notes\r\n") + kDeck + ";\"New; title\";7;x\r\n");
    clitest::CliRun run = RunCli(dir.Path(), {"import", "edit.csv", "--dry-run"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::string(kDeck) + ": Title: \"\" -> \"New; title\""), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("columns not imported: \"Notes\""), std::string::npos) << run.err;
    run = RunCli(dir.Path(), {"import", "edit.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(RunCli(dir.Path(), {"show", "--json", kDeck}).out.find("\"Title\": \"New; title\""),
              std::string::npos);

    const std::string before = ReadFileBytes(dir / kDeck);
    WriteFileBytes(dir / "bad.csv",
                   std::string("FullPath,Title,CreatedTime\n") + kDeck + ",Other,31/02/2020\n");
    run = RunCli(dir.Path(), {"import", "bad.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.csv:2: CreatedTime: \"31/02/2020\""), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(dir / kDeck), before); // nothing imported from a table with an invalid cell
    run = RunCli(dir.Path(), {"import", "bad.csv", "--skip-invalid"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(RunCli(dir.Path(), {"show", "--json", kDeck}).out.find("\"Title\": \"Other\""),
              std::string::npos);

    WriteFileBytes(dir / "names.csv", std::string("FileName,Title\n") + kDeck + ",By name\nmissing.pptx,x\n");
    EXPECT_EQ(RunCli(dir.Path(), {"import", "names.csv"}).status, 2); // names need the PATHs to match
    run = RunCli(dir.Path(), {"import", "names.csv", kDeck});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("names.csv:3: no package missing.pptx"), std::string::npos) << run.err;
}

TEST(SetCommand, FillsFromPatternsPerPackage)
{
    TempDir dir;
    clitest::CopyCorpus(dir.Path());
    std::filesystem::copy_file(dir / kDeck, dir / "Q3 - Sales.pptx");
    clitest::CliRun run =
        RunCli(dir.Path(), {"set", "--fill", "Title={stem} by {Creator}", "--fill", "Subject={2}/{1}",
                            "--match", R"((\w+) - (\w+)\.pptx)", "Q3 - Sales.pptx", kDeck});
    EXPECT_EQ(run.status, 1); // the second name does not match
    EXPECT_NE(run.err.find(std::string(kDeck) + ": the file name does not match --match"), std::string::npos);
    const std::string shown = RunCli(dir.Path(), {"show", "--json", "Q3 - Sales.pptx"}).out;
    EXPECT_NE(shown.find("\"Title\": \"Q3 - Sales by Maxim Lysak\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"Subject\": \"Sales/Q3\""), std::string::npos) << shown;

    for (const std::vector<std::string>& usage :
         {std::vector<std::string>{"set", "--fill", "Title={title}", kDeck},
          {"set", "--fill", "Title={1}", kDeck},
          {"set", "--fill", "Title=x", "--set", "Title=y", kDeck},
          {"set", "--fill", "Title=x", "--match", "(", kDeck}}) {
        run = RunCli(dir.Path(), usage);
        EXPECT_EQ(run.status, 2) << usage[2] << run.err;
    }
    run = RunCli(dir.Path(), {"set", "--fill", "Revision=r{Creator}", kDeck});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is not a number"), std::string::npos) << run.err;
}

} // namespace
} // namespace cli
