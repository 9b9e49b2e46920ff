#include "CliRunner.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

// The paths a load records for its rows, and the packages they name: a package may be named
// relatively, through "..", or through a symbolic link, and each row shows the name the user gave
// made absolute, while a save still meets one package under all its names.
namespace cli {
namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::RunCli;
using testsupport::TempDir;

std::vector<std::string> JsonValues(const std::string& json, const std::string& key)
{
    std::vector<std::string> values;
    const std::regex field("\"" + key + "\": \"([^\"]*)\"");
    for (std::sregex_iterator it(json.begin(), json.end(), field), end; it != end; ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

class LoadedPaths : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir / "decks" / "sub");
        fs::create_directories(m_dir / "here");
        testsupport::PropertyDeck().WriteTo(m_dir / "decks" / "a.pptx");
        testsupport::PlainDeck().WriteTo(m_dir / "decks" / "sub" / "b.pptx");
        fs::create_symlink(m_dir / "decks" / "a.pptx", m_dir / "here" / "link.pptx");
        fs::create_directory_symlink(m_dir / "decks", m_dir / "here" / "shelf");
    }

    [[nodiscard]] std::string At(const std::string& relative) const
    {
        return (m_dir.Path() / relative).string();
    }

    TempDir m_dir;
};

// Relative names, "." and ".." steps are taken out against the current folder; symbolic links (of
// the file or of a folder on the way) stay as the user named them, in every output format.
TEST_F(LoadedPaths, RowsShowTheGivenNameMadeAbsoluteWithLinksKept)
{
    const std::vector<std::string> arguments{"../decks/a.pptx", "./../decks/sub/../a.pptx", "link.pptx",
                                             "shelf/sub/b.pptx", At("decks/./sub//b.pptx")};
    const std::vector<std::string> expected{At("decks/a.pptx"), At("decks/a.pptx"), At("here/link.pptx"),
                                            At("here/shelf/sub/b.pptx"), At("decks/sub/b.pptx")};

    std::vector<std::string> json{"show", "--json"};
    json.insert(json.end(), arguments.begin(), arguments.end());
    const CliRun shown = RunCli(m_dir / "here", json);
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(JsonValues(shown.out, "FullPath"), expected) << shown.out;
    EXPECT_EQ(JsonValues(shown.out, "FileName"),
              (std::vector<std::string>{"a.pptx", "a.pptx", "link.pptx", "b.pptx", "b.pptx"}));

    std::vector<std::string> csv{"show", "--csv"};
    csv.insert(csv.end(), arguments.begin(), arguments.end());
    const CliRun table = RunCli(m_dir / "here", csv);
    ASSERT_EQ(table.status, 0) << table.err;
    for (const std::string& path : expected) {
        EXPECT_NE(table.out.find("," + path + ","), std::string::npos) << path << "\n" << table.out;
    }

    // A folder named through a link and "..": its packages are named below the folder as given.
    const CliRun folder = RunCli(m_dir / "here", {"show", "--json", "shelf/sub/.."});
    ASSERT_EQ(folder.status, 0) << folder.err;
    EXPECT_EQ(JsonValues(folder.out, "FullPath"),
              (std::vector<std::string>{At("here/shelf/a.pptx"), At("here/shelf/sub/b.pptx")}));
}

// One package named three ways in one set is one package: saved once, the link left a link.
TEST_F(LoadedPaths, SetMeetsOnePackageUnderEveryName)
{
    for (const std::string journal : {"journaled", "--no-journal"}) {
        SCOPED_TRACE(journal);
        std::vector<std::string> arguments{"set",       "--set",           "Title=" + journal,
                                           "link.pptx", "../decks/a.pptx", "shelf/sub/../a.pptx"};
        if (journal == "--no-journal") {
            arguments.insert(arguments.begin() + 1, journal);
        }
        const CliRun run = RunCli(m_dir / "here", arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "link.pptx: saved\n") << run.out;
        EXPECT_TRUE(fs::is_symlink(m_dir / "here" / "link.pptx"));
        const CliRun shown = RunCli(m_dir / "here", {"show", "--json", "../decks/a.pptx"});
        EXPECT_EQ(JsonValues(shown.out, "Title"), (std::vector<std::string>{journal})) << shown.out;
    }
}

// A package that fails to load through a link is named once, as the user named it: neither the
// absolute nor the resolved name of the file it leads to follows.
TEST_F(LoadedPaths, AFailureThroughALinkNamesThePackageOnlyAsGiven)
{
    testsupport::WriteFileBytes(m_dir / "decks" / "broken.pptx", std::string(600, 'x'));
    fs::create_symlink(m_dir / "decks" / "broken.pptx", m_dir / "here" / "bad.pptx");
    for (const std::string& name : {std::string("bad.pptx"), std::string("./../here/bad.pptx")}) {
        // A journaled save reads the package under its resolved name.
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"show", name}, {"set", "--set", "Title=x", name}}) {
            const CliRun run = RunCli(m_dir / "here", arguments);
            EXPECT_EQ(run.status, 1) << arguments[0];
            EXPECT_NE(run.err.find("velmora-cli: " + name + ": Not a valid zip file!\n"), std::string::npos)
                << run.err;
            EXPECT_EQ(run.err.find(m_dir.Path().string()), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("broken"), std::string::npos) << run.err;
        }
    }
}

} // namespace
} // namespace cli
