#include "CliRunner.h"
#include "support/RealCorpus.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// velmora-cli import and set --fill, run as a user runs them.
namespace cli {
namespace {

using clitest::RunCli;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

// A deck with no title and a creator, among others: written by WriteDecks.
constexpr const char* kDeck = "sample.pptx";
constexpr const char* kCorpusDeck = "docling_sample.pptx";

void WriteDecks(const std::filesystem::path& folder)
{
    testsupport::Deck(testsupport::CoreXml("<dc:title></dc:title><dc:creator>Maxim Lysak</dc:creator>"
                                           "<cp:revision>1</cp:revision>"),
                      testsupport::AppXml("<Company>Acme</Company>"), "")
        .WriteTo(folder / kDeck);
    testsupport::PropertyDeck().WriteTo(folder / "other.pptx");
}

// What the exports write, read back from any folder, changes nothing: the table holds what the
// packages hold.
TEST(ImportCommand, AnExportReadBackChangesNothing)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    TempDir dir;
    clitest::CopyCorpus(dir.Path());
    std::filesystem::create_directory(dir / "elsewhere");
    const auto packages = testsupport::RealCorpusPackages();
    std::vector<std::string> show = {"show", "--csv"};
    show.insert(show.end(), packages.begin(), packages.end());
    const clitest::CliRun shown = RunCli(dir.Path(), show, "Europe/Berlin");
    WriteFileBytes(dir / "grid.csv", shown.out);
    std::vector<std::string> exportXlsx = {"export", "--format", "xlsx", "--output", "grid.xlsx"};
    exportXlsx.insert(exportXlsx.end(), packages.begin(), packages.end());
    // Unreadable corpus packages are listed by both with exit status 1; the file is still written.
    const clitest::CliRun exported = RunCli(dir.Path(), exportXlsx, "Europe/Berlin");
    ASSERT_EQ(exported.status, shown.status) << exported.err;
    ASSERT_TRUE(std::filesystem::exists(dir / "grid.xlsx"));
    const std::string before = ReadFileBytes(dir / kCorpusDeck);
    for (const char* table : {"../grid.csv", "../grid.xlsx"}) {
        const clitest::CliRun run =
            RunCli(dir / "elsewhere", {"import", table, "--dry-run"}, "Europe/Berlin");
        EXPECT_EQ(run.status, shown.status) << table << run.err;
        // The unreadable packages, and nothing else, named as the table names them.
        std::string err = run.err;
        for (std::size_t at = err.find(dir.Path().string() + "/"); at != std::string::npos;
             at = err.find(dir.Path().string() + "/")) {
            err.erase(at, dir.Path().string().size() + 1);
        }
        EXPECT_EQ(err, shown.err) << table;
        EXPECT_EQ(run.out, "") << table; // no change to print
    }
    const clitest::CliRun named = RunCli(dir.Path(), {"import", "grid.xlsx", kCorpusDeck}, "Europe/Berlin");
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, std::string(kCorpusDeck) + ": unchanged\n");
    EXPECT_EQ(ReadFileBytes(dir / kCorpusDeck), before);
}

// Changed cells of an export, custom columns among them, go back into the packages from another folder;
// a custom "Category" stays apart from the core Category.
TEST(ImportCommand, RoundTripsCustomColumnsFromAnotherFolder)
{
    TempDir dir;
    WriteDecks(dir.Path());
    std::filesystem::create_directory(dir / "elsewhere");
    ASSERT_EQ(RunCli(dir.Path(), {"set", "--set", "Category=core", "--custom", "Category=mine", "--custom",
                                  "Pages:int=3", kDeck})
                  .status,
              0);
    ASSERT_EQ(
        RunCli(dir.Path(), {"export", "--format", "csv", "--custom", "--output", "grid.csv", kDeck}).status,
        0);
    std::string table = ReadFileBytes(dir / "grid.csv");
    EXPECT_NE(table.find(",Category,"), std::string::npos) << table;
    EXPECT_NE(table.find(",Custom:Category,Custom:Pages"), std::string::npos) << table;
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{",core,", ",core 2,"}, {",mine,3", ",theirs,12"}}) {
        ASSERT_NE(table.find(from), std::string::npos) << table;
        table.replace(table.find(from), from.size(), to);
    }
    WriteFileBytes(dir / "grid.csv", table);
    const clitest::CliRun run = RunCli(dir / "elsewhere", {"import", "../grid.csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string shown = RunCli(dir.Path(), {"show", "--json", "--custom", kDeck}).out;
    EXPECT_NE(shown.find("\"Category\": \"core 2\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"Category\": {\"type\": \"vt:lpwstr\", \"value\": \"theirs\"}"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\"Pages\": {\"type\": \"vt:i4\", \"value\": \"12\"}"), std::string::npos) << shown;
}

TEST(ImportCommand, AppliesChangedCellsAndRefusesInvalidOnes)
{
    TempDir dir;
    WriteDecks(dir.Path());
    WriteFileBytes(dir / "edit.csv",
                   std::string("FullPath;Title;Revision;Notes\r\n") + kDeck + ";\"New; title\";7;x\r\n");
    clitest::CliRun run = RunCli(dir.Path(), {"import", "edit.csv", "--ignore-unknown-columns", "--dry-run"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::string(kDeck) + ": Title: \"\" -> \"New; title\""), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("columns not imported: \"Notes\""), std::string::npos) << run.err;
    const std::string unchanged = ReadFileBytes(dir / kDeck);
    run = RunCli(dir.Path(), {"import", "edit.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("unknown column \"Notes\""), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(dir / kDeck), unchanged);
    run = RunCli(dir.Path(), {"import", "edit.csv", "--ignore-unknown-columns"});
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
    EXPECT_NE(run.err.find("names.csv:3: no package at missing.pptx"), std::string::npos) << run.err;
}

// A table that cannot be read as it stands is refused as a whole (exit status 1), and every package
// stays byte for byte as it was.
TEST(ImportCommand, RefusesTablesItCannotReadAsTheyStand)
{
    TempDir dir;
    WriteDecks(dir.Path());
    ASSERT_EQ(RunCli(dir.Path(), {"set", "--custom", "Pages:int=3", kDeck}).status, 0);
    std::filesystem::create_symlink(dir / kDeck, dir / "link.pptx");
    const std::string deck = kDeck;
    const std::string before = ReadFileBytes(dir / kDeck);

    struct Case
    {
        std::string table;
        std::vector<std::string> options;
        std::string message;
    };

    for (const Case& c : std::vector<Case>{
             {"FullPath,Titel\n" + deck + ",x\n",
              {},
              "t.csv: unknown column \"Titel\"; the known columns are "},
             {"FullPath,Title,Title\n" + deck + ",x,y\n", {}, "t.csv: columns 2 and 3 both mean \"Title\""},
             {"FullPath;Title;Company\n" + deck + ";New; title;Acme\n",
              {},
              "t.csv:2: 4 fields, but the header has 3"},
             {"FullPath,Title,Company\n" + deck + ",x\n",
              {"--empty-clears"},
              "t.csv:2: 2 fields, but the header has 3"},
             {"FullPath,Title\n" + deck + ",x\n./" + deck + ",y\n",
              {},
              "t.csv:2 and t.csv:3 both name the package ./"},
             {"FullPath,Title\n" + deck + ",x\nlink.pptx,y\n",
              {},
              "t.csv:2 and t.csv:3 both name the package link"},
             {"FullPath,Title,Custom:Pages\n" + deck + ",x,many\n", {}, "t.csv:2: Custom:Pages: \"many\""},
             {"FullPath,Title\nother.pptx,x\n", {deck}, "velmora-cli: t.csv: no row names any of the given packages"}}) {
        WriteFileBytes(dir / "t.csv", c.table);
        std::vector<std::string> arguments{"import", "t.csv"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const clitest::CliRun run = RunCli(dir.Path(), arguments);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(dir / kDeck), before) << c.message;
    }
    // A row naming no file is a failure; the other rows are still applied.
    WriteFileBytes(dir / "t.csv", "FullPath,Title\nmissing.pptx,x\n" + deck + ",Applied\n");
    const clitest::CliRun run = RunCli(dir.Path(), {"import", "t.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("t.csv:2: no package at missing.pptx"), std::string::npos) << run.err;
    EXPECT_NE(RunCli(dir.Path(), {"show", "--json", kDeck}).out.find("\"Title\": \"Applied\""),
              std::string::npos);
}

TEST(SetCommand, FillsFromPatternsPerPackage)
{
    TempDir dir;
    WriteDecks(dir.Path());
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
