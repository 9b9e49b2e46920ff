#include "CliRunner.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Paths from a list (--files-from, --null) and the closing summary of the commands that save.
namespace {

namespace fs = std::filesystem;

using clitest::CliRun;
using clitest::RunCli;
using clitest::RunCliWithInput;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

class PathListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir / "sub");
        testsupport::PropertyDeck().WriteTo(m_dir / "a.pptx");
        testsupport::PropertyDeck().WriteTo(m_dir / "sub" / "new\nline.pptx");
        testsupport::PropertyDeck().WriteTo(m_dir / "-dash.pptx");
        m_original = ReadFileBytes(m_dir / "a.pptx");
    }

    TempDir m_dir;
    std::string m_original;
};

// A NUL-separated list from standard input reaches every name, newlines and leading dashes
// included, after the paths of the command line and in the list's order.
TEST_F(PathListTest, NulSeparatedListFromStandardInputNamesAnyFile)
{
    const std::string list = std::string("sub/new\nline.pptx") + '\0' + "-dash.pptx" + '\0';
    const CliRun shown = RunCliWithInput(m_dir.Path(), {"show", "--json", "--files-from", "-", "--null", "a.pptx"}, list);
    ASSERT_EQ(shown.status, 0) << shown.err;
    const std::size_t a = shown.out.find("a.pptx");
    const std::size_t newline = shown.out.find("new\\nline.pptx");
    const std::size_t dash = shown.out.find("-dash.pptx");
    ASSERT_NE(a, std::string::npos) << shown.out;
    ASSERT_NE(newline, std::string::npos) << shown.out;
    ASSERT_NE(dash, std::string::npos) << shown.out;
    EXPECT_LT(a, newline);
    EXPECT_LT(newline, dash);

    const CliRun set =
        RunCliWithInput(m_dir.Path(), {"set", "--no-journal", "--set", "Title=Listed", "-0", "--files-from", "-"}, list);
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "sub/new\nline.pptx: saved\n-dash.pptx: saved\n");
    EXPECT_TRUE(ReadFileBytes(m_dir / "a.pptx") == m_original); // not listed, not touched
}

// One path a line from a file; empty lines are skipped; a listed path that does not exist is
// reported like a missing argument while the others are saved; an empty list does nothing.
TEST_F(PathListTest, LineListReportsMissingPathsAndAnEmptyListDoesNothing)
{
    WriteFileBytes(m_dir / "list.txt", "a.pptx\n\nmissing.pptx\n");
    const CliRun run = RunCli(m_dir.Path(), {"set", "--no-journal", "--set", "Title=x", "--files-from", "list.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "a.pptx: saved\n");
    EXPECT_EQ(run.err, "velmora-cli: missing.pptx: No such file or directory\n"
                       "velmora-cli: 1 saved, 0 unchanged, 1 failed\n");

    const std::string saved = ReadFileBytes(m_dir / "a.pptx");
    const CliRun empty = RunCliWithInput(m_dir.Path(), {"set", "--set", "Title=y", "--files-from", "-"}, "");
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "");
    EXPECT_TRUE(ReadFileBytes(m_dir / "a.pptx") == saved);
}

// A list that cannot be read, and --null without a list, are usage errors: nothing is touched.
TEST_F(PathListTest, AnUnreadableListIsAUsageErrorThatTouchesNothing)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"set", "--set", "Title=x", "--files-from", "nolist.txt", "a.pptx"},
          {"set", "--set", "Title=x", "--files-from", "sub", "a.pptx"},
          {"set", "--set", "Title=x", "--null", "a.pptx"}}) {
        const CliRun run = RunCli(m_dir.Path(), arguments);
        EXPECT_EQ(run.status, 2) << arguments[4] << ": " << run.err;
        EXPECT_EQ(run.err.rfind("velmora-cli: ", 0), 0U) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(ReadFileBytes(m_dir / "a.pptx") == m_original);
}

// import and undo take the list too; a package's history follows it.
TEST_F(PathListTest, ImportAndUndoTakeTheList)
{
    WriteFileBytes(m_dir / "t.csv", "FileName,Title\na.pptx,Imported\n");
    WriteFileBytes(m_dir / "list.txt", "a.pptx\n");
    const std::string state = "XDG_STATE_HOME=" + (m_dir / "state").string();
    const CliRun imported = RunCli(m_dir.Path(), {"import", "t.csv", "--files-from", "list.txt"}, "UTC", state);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "a.pptx: saved\n");
    EXPECT_FALSE(ReadFileBytes(m_dir / "a.pptx") == m_original);

    const CliRun undone = RunCli(m_dir.Path(), {"undo", "--files-from", "list.txt"}, "UTC", state);
    ASSERT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.err, "velmora-cli: 1 restored, 0 failed\n");
    const CliRun shown = RunCli(m_dir.Path(), {"show", "--csv", "a.pptx"});
    EXPECT_NE(shown.out.find(testsupport::kPropertyDeckTitle), std::string::npos) << shown.out;
}

// The summary counts every package once, failures found before the save included; --quiet keeps
// only the errors.
TEST_F(PathListTest, SummaryCountsEveryPackageAndQuietKeepsOnlyErrors)
{
    WriteFileBytes(m_dir / "bad.pptx", "not a package");
    const CliRun first = RunCli(m_dir.Path(), {"set", "--no-journal", "--set", "Title=Same", "a.pptx"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err, "velmora-cli: 1 saved, 0 unchanged, 0 failed\n");

    const CliRun mixed = RunCli(m_dir.Path(), {"set", "--no-journal", "--set", "Title=Same", "a.pptx", "./-dash.pptx",
                                               "bad.pptx", "missing.pptx", "sub"});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.err.substr(mixed.err.rfind("velmora-cli: ")), "velmora-cli: 2 saved, 1 unchanged, 2 failed\n")
        << mixed.err;

    const CliRun quiet = RunCli(m_dir.Path(), {"set", "-q", "--no-journal", "--set", "Title=Other", "a.pptx", "bad.pptx"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "velmora-cli: bad.pptx: Not a valid zip file!\n");
    EXPECT_TRUE(ReadFileBytes(m_dir / "bad.pptx") == "not a package");
}

} // namespace
