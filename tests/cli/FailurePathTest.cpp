#include "CliRunner.h"
#include "support/OfficePackages.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// The paths that leave the common case: outputs that are packages under other names, failed writes
// to standard output, flags given values, signals in the middle of a save run. Nothing is lost on
// any of them, and none reads as a success.
namespace cli {
namespace {

namespace fs = std::filesystem;
using clitest::CliRun;
using clitest::Quoted;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

std::string Deck(const std::string& title)
{
    return testsupport::PackageBuilder::Presentation(
               testsupport::CoreXml("<dc:title>" + title + "</dc:title>"), testsupport::AppXml(""))
        .Build();
}

// Every file below folder with its bytes, to prove that a refused command changed nothing.
std::map<std::string, std::string> Contents(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        files[name] = entry.is_symlink()        ? "link to " + fs::read_symlink(entry.path()).string()
                      : entry.is_regular_file() ? ReadFileBytes(entry.path())
                                                : std::string("folder");
    }
    return files;
}

// Runs velmora-cli in folder through the shell, with redirections of its own (such as ">/dev/full").
CliRun RunShell(const fs::path& folder, const std::string& arguments, const std::string& redirect)
{
    CliRun run;
    run.out = testsupport::RunCommand("cd " + Quoted(folder.string()) +
                                          " && TZ=UTC XDG_STATE_HOME=" + Quoted((folder / "state").string()) +
                                          " " + VELMORA_CLI_BINARY + " " + arguments + " " + redirect +
                                          " 2>" + Quoted((folder / "stderr.txt").string()),
                                      &run.status);
    run.err = ReadFileBytes(folder / "stderr.txt");
    fs::remove(folder / "stderr.txt");
    return run;
}

class OutputTargets : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(m_dir / "in");
        WriteFileBytes(m_dir / "in" / "a.pptx", Deck("Exported"));
        const std::string thumbnail = "docProps/thumbnail.jpeg";
        testsupport::ThumbnailPackage(testsupport::ThumbnailRel(thumbnail))
            .Add(thumbnail, testsupport::PictureBytes(3000))
            .WriteTo(m_dir / "in" / "t.pptx");
        // Packages under names that are not those of packages.
        WriteFileBytes(m_dir / "report.csv", Deck("Renamed"));
        WriteFileBytes(m_dir / "deck.xlsx", Deck("Not a workbook"));
        testsupport::PackageBuilder()
            .Add("mimetype", "application/vnd.oasis.opendocument.presentation",
                 testsupport::PackageBuilder::Method::Stored)
            .Add("content.xml", "<office:document-content/>")
            .WriteTo(m_dir / "notes.txt");
        WriteFileBytes(m_dir / "old.htm",
                       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(1016, '\0'));
        testsupport::PackageBuilder::Presentation(testsupport::CoreXml(""), "")
            .BreakCentralRecordOf("[Content_Types].xml")
            .WriteTo(m_dir / "damaged.xml");
        WriteFileBytes(m_dir / "other.pptx", Deck("Other"));
        fs::create_symlink(m_dir / "other.pptx", m_dir / "link.csv");
        fs::create_symlink(m_dir / "report.csv", m_dir / "picture.jpeg");
        WriteFileBytes(m_dir / "t.jpeg", Deck("Thumbnail target"));
    }

    testsupport::TempDir m_dir;
};

// A target that is a package by its content, under any name or behind a link, is refused with exit
// status 2 before anything is read or written: every file keeps its bytes, no temporary is left.
TEST_F(OutputTargets, APackageByContentIsNeverReplaced)
{
    const auto before = Contents(m_dir.Path());
    const std::string a = Quoted((m_dir / "in" / "a.pptx").string());
    const std::string t = Quoted((m_dir / "in" / "t.pptx").string());

    struct Case
    {
        std::string arguments;
        std::string named; // the start of the refusal
    };

    for (const Case& c : std::vector<Case>{
             {"export --format csv --output report.csv " + a, "report.csv: is an Office package"},
             {"export --format xlsx --output deck.xlsx " + a, "deck.xlsx: is an Office package"},
             {"export --format text --output notes.txt " + a, "notes.txt: is an OpenDocument package"},
             {"export --format html --output old.htm " + a, "old.htm: is an Office compound file"},
             {"export --format xml --output damaged.xml " + a, "damaged.xml: cannot be read"},
             {"export --format csv --output link.csv " + a, "link.csv (a link to "},
             {"thumbnail --output picture.jpeg " + t, "picture.jpeg (a link to "},
             {"thumbnail --output t.jpeg " + t, "t.jpeg: is an Office package"},
         }) {
        SCOPED_TRACE(c.arguments);
        const CliRun run = RunShell(m_dir.Path(), c.arguments, "");
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.err.rfind("velmora-cli: " + c.named, 0), 0U) << run.err;
        EXPECT_NE(run.err.find("; choose "), std::string::npos) << run.err;
        EXPECT_EQ(Contents(m_dir.Path()), before);
    }
}

// What is no package is still replaced: a ZIP without the package members, an earlier workbook
// export, and a text file behind a link (the link stays a link, its file gets the export).
TEST_F(OutputTargets, WhatIsNoPackageIsStillReplaced)
{
    testsupport::PackageBuilder().Add("notes.txt", "zip").WriteTo(m_dir / "archive.csv");
    WriteFileBytes(m_dir / "real.csv", "old");
    fs::create_symlink(m_dir / "real.csv", m_dir / "current.csv");
    const std::string a = Quoted((m_dir / "in" / "a.pptx").string());
    for (const std::string& arguments :
         {"export --format csv --output archive.csv " + a, "export --format csv --output current.csv " + a,
          "export --format xlsx --output book.xlsx " + a, "export --format xlsx --output book.xlsx " + a}) {
        const CliRun run = RunShell(m_dir.Path(), arguments, "");
        EXPECT_EQ(run.status, 0) << arguments << "\n" << run.err;
    }
    EXPECT_NE(ReadFileBytes(m_dir / "archive.csv").find("Exported"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(m_dir / "current.csv"));
    EXPECT_NE(ReadFileBytes(m_dir / "real.csv").find("Exported"), std::string::npos);
    EXPECT_NE(
        testsupport::RunCommand("unzip -l " + Quoted((m_dir / "book.xlsx").string())).find("xl/workbook.xml"),
        std::string::npos);
}

// An export that finds no package fails and writes nothing, an earlier file keeps its bytes.
TEST_F(OutputTargets, AnExportOfNothingWritesNothing)
{
    fs::create_directory(m_dir / "empty");
    WriteFileBytes(m_dir / "kept.csv", "earlier export");
    for (const char* output : {"kept.csv", "new.csv", "-"}) {
        const CliRun run =
            RunShell(m_dir.Path(), std::string("export --format csv --output ") + output + " empty", "");
        EXPECT_EQ(run.status, 1) << output;
        EXPECT_EQ(run.out, "") << output;
        EXPECT_NE(run.err.find("no package to export"), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(m_dir / "kept.csv"), "earlier export");
    EXPECT_FALSE(fs::exists(m_dir / "new.csv"));
}

class CommandOutput : public testing::Test
{
protected:
    void SetUp() override
    {
        WriteFileBytes(m_dir / "a.pptx", Deck("Old"));
        WriteFileBytes(m_dir / "table.csv",
                       "FullPath,Title\r\n" + (m_dir / "a.pptx").string() + ",FromTable\r\n");
    }

    testsupport::TempDir m_dir;
};

// Output that cannot be written (a full device, a closed descriptor) fails every command with exit
// status 1 and says so on standard error: nothing reads as done that was not reported.
TEST_F(CommandOutput, AFailedWriteToStandardOutputFailsEveryCommand)
{
    // A journaled save first, so that history and undo have something to print.
    ASSERT_EQ(RunShell(m_dir.Path(), "set --set Title=Saved a.pptx", "").status, 0);
    for (const char* redirect : {">/dev/full", ">&-"}) {
        for (const char* arguments :
             {"show a.pptx", "show --json a.pptx", "show --csv --custom --stats a.pptx",
              "set --dry-run --set Title=x a.pptx", "set --dry-run --json --set Title=x a.pptx",
              "import --dry-run table.csv", "history", "history a.pptx", "--help", "set --help", "--version",
              "export --format html --output - a.pptx"}) {
            SCOPED_TRACE(std::string(arguments) + " " + redirect);
            const std::string before = ReadFileBytes(m_dir / "a.pptx");
            const CliRun run = RunShell(m_dir.Path(), arguments, redirect);
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_NE(run.err.find("velmora-cli: standard output: cannot write"), std::string::npos)
                << run.err;
            EXPECT_EQ(ReadFileBytes(m_dir / "a.pptx"), before);
        }
    }
    // A save whose report is lost still saves (and journals) the package, but does not succeed.
    const CliRun set = RunShell(m_dir.Path(), "set --set Title=Unreported a.pptx", ">/dev/full");
    EXPECT_EQ(set.status, 1) << set.err;
    EXPECT_NE(set.err.find("standard output"), std::string::npos) << set.err;
    EXPECT_NE(RunShell(m_dir.Path(), "show --csv a.pptx", "").out.find("Unreported"), std::string::npos);
    const CliRun undo = RunShell(m_dir.Path(), "undo a.pptx", ">/dev/full");
    EXPECT_EQ(undo.status, 1) << undo.err;
    EXPECT_NE(RunShell(m_dir.Path(), "show --csv a.pptx", "").out.find(",Saved,"), std::string::npos);
    // A reader that went away fails the report's writes but never ends the run in the middle: every
    // package is saved and the command ends on its own (not by SIGPIPE, 141).
    for (int i = 0; i < 40; ++i) {
        WriteFileBytes(m_dir / ("p" + std::to_string(i) + ".pptx"), Deck("Old"));
    }
    int piped = -1;
    testsupport::RunCommand("cd " + Quoted(m_dir.Path().string()) + " && { TZ=UTC XDG_STATE_HOME=state " +
                                VELMORA_CLI_BINARY +
                                " set --set Title=Piped p*.pptx 2>piped.txt; echo $? >status; } | "
                                "(exec 0<&-; sleep 0.5)",
                            &piped);
    const std::string status = ReadFileBytes(m_dir / "status");
    EXPECT_TRUE(status == "1\n" || status == "0\n") << status << ReadFileBytes(m_dir / "piped.txt");
    if (status == "1\n") {
        EXPECT_NE(ReadFileBytes(m_dir / "piped.txt").find("standard output: cannot write: Broken pipe"),
                  std::string::npos);
    }
    for (int i = 0; i < 40; ++i) {
        EXPECT_NE(ReadFileBytes(m_dir / ("p" + std::to_string(i) + ".pptx")), Deck("Old")) << i;
    }
    // Standard error that cannot be written fails a command that has something to say there.
    EXPECT_EQ(RunShell(m_dir.Path(), "show a.pptx missing.pptx", ">/dev/null 2>/dev/full").status, 1);
}

// Every flag of every command takes no value: "--dry-run=false" is a usage error, not a save.
TEST_F(CommandOutput, AFlagGivenAValueIsAUsageError)
{
    const std::string before = ReadFileBytes(m_dir / "a.pptx");
    for (const char* arguments :
         {"set --dry-run=false --set Title=x a.pptx", "set --dry-run=true --set Title=x a.pptx",
          "set --dry-run= --set Title=x a.pptx", "set --set Title=x --no-journal=0 a.pptx",
          "set --set Title=x --keep-mtime=yes a.pptx", "show --json=1 a.pptx", "show --utc=false a.pptx",
          "import --dry-run=false table.csv", "export --format csv --output x.csv --custom=false a.pptx",
          "history --purge=no", "undo --keep-mtime=1 a.pptx", "set --help=x", "--version=1"}) {
        SCOPED_TRACE(arguments);
        const CliRun run = RunShell(m_dir.Path(), arguments, "");
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("takes no value"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadFileBytes(m_dir / "a.pptx"), before);
        EXPECT_FALSE(fs::exists(m_dir / "x.csv"));
        EXPECT_FALSE(fs::exists(m_dir / "state"));
    }
    // An option's value that looks like a flag with a value is still that option's value.
    const CliRun value = RunShell(m_dir.Path(), "set --dry-run --custom --json=1 a.pptx", "");
    EXPECT_EQ(value.status, 0) << value.err;
    EXPECT_NE(value.out.find("a.pptx: --json (custom): \"\" -> \"1\""), std::string::npos) << value.out;
}

// A group the expression lacks is a usage error naming it, before any package is touched; with
// the group there, the value is filled.
TEST_F(CommandOutput, AFillGroupTheMatchLacksIsRefusedByNumber)
{
    WriteFileBytes(m_dir / "12 - Sales.pptx", Deck("Old"));
    const auto before = Contents(m_dir.Path());
    const CliRun run =
        RunShell(m_dir.Path(), "set --fill 'Title={3}' --match '(\\d+) - (.*)\\.pptx' '12 - Sales.pptx'", "");
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("uses {3}"), std::string::npos) << run.err;
    EXPECT_EQ(Contents(m_dir.Path()), before);
    const CliRun filled = RunShell(
        m_dir.Path(), "set --fill 'Title={2} {1}' --match '(\\d+) - (.*)\\.pptx' '12 - Sales.pptx'", "");
    EXPECT_EQ(filled.status, 0) << filled.err;
    EXPECT_NE(RunShell(m_dir.Path(), "show --csv '12 - Sales.pptx'", "").out.find(",Sales 12,"),
              std::string::npos);
}

// A value beyond 32 bits for an existing vt:i4 property is refused by name and the package keeps
// its bytes; a new property takes the larger type.
TEST_F(CommandOutput, AnIntegerCustomPropertyKeepsItsType)
{
    using testsupport::CustomProperty;
    testsupport::OfficePackage("pptx", testsupport::CoreXml(""), "",
                               testsupport::CustomXml(CustomProperty(2, "Count", "<vt:i4>5</vt:i4>")))
        .WriteTo(m_dir / "c.pptx");
    const std::string before = ReadFileBytes(m_dir / "c.pptx");
    for (const char* arguments : {"set --custom Count:int=99999999999 c.pptx",
                                  "set --dry-run --custom Count:int=99999999999 c.pptx"}) {
        const CliRun run = RunShell(m_dir.Path(), arguments, "");
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find("Count: \"99999999999\" is not a 32-bit integer"), std::string::npos)
            << run.err;
        EXPECT_EQ(ReadFileBytes(m_dir / "c.pptx"), before);
    }
    ASSERT_EQ(RunShell(m_dir.Path(), "set --custom Big:int=99999999999 c.pptx", "").status, 0);
    const std::string shown = RunShell(m_dir.Path(), "show --json --custom c.pptx", "").out;
    EXPECT_NE(shown.find("\"Count\": {\"type\": \"vt:i4\", \"value\": \"5\"}"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"Big\": {\"type\": \"vt:i8\", \"value\": \"99999999999\"}"), std::string::npos)
        << shown;
}

struct SignalCase
{
    int number;
    const char* name;
};

class SignalDuringSave : public testing::TestWithParam<SignalCase>
{
};

// A signal in the middle of a parallel save run: the packages in hand are finished, no temporary
// is left beside any package, every package is named once (saved with its new bytes, or not saved
// with its old ones), and the exit status is 128 + the signal's number.
TEST_P(SignalDuringSave, FinishesThePackagesInHandAndReportsEachOnce)
{
    TempDir dir;
    constexpr int kPackages = 500;
    const std::string original = Deck("Before");
    for (int i = 0; i < kPackages; ++i) {
        WriteFileBytes(dir / ("p" + std::to_string(1000 + i) + ".pptx"), original);
    }
    WriteFileBytes(dir / "marker", "");
    const std::string script = "cd " + Quoted(dir.Path().string()) +
                               " && (TZ=UTC XDG_STATE_HOME=" + Quoted((dir / "state").string()) + " " +
                               VELMORA_CLI_BINARY +
                               " set --set Title=After p*.pptx >out 2>err & pid=$!; "
                               "until [ -n \"$(find . -name 'p*.pptx' -newer marker | head -1)\" ] || "
                               "! kill -0 $pid 2>/dev/null; do sleep 0.005; done; kill -" +
                               GetParam().name + " $pid; wait $pid; echo $?)";
    const std::string status = testsupport::RunCommand(script);
    const std::string out = ReadFileBytes(dir / "out");
    const std::string err = ReadFileBytes(dir / "err");
    ASSERT_EQ(status, std::to_string(128 + GetParam().number) + "\n") << err;
    int saved = 0;
    for (int i = 0; i < kPackages; ++i) {
        const std::string name = "p" + std::to_string(1000 + i) + ".pptx";
        const auto count = [&](const std::string& text, const std::string& line) {
            std::size_t n = 0;
            for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
                n += at == 0 || text[at - 1] == '\n' ? 1 : 0;
            }
            return n;
        };
        const std::size_t named = count(out, name + ": ") + count(err, "velmora-cli: " + name + ": ");
        EXPECT_EQ(named, 1U) << name;
        if (ReadFileBytes(dir / name) != original) {
            ++saved;
            EXPECT_EQ(count(out, name + ": saved\n"), 1U) << name;
        } else {
            EXPECT_EQ(count(err, "velmora-cli: " + name + ": not saved: the save was cancelled\n"), 1U) << name;
        }
    }
    EXPECT_GT(saved, 0);
    EXPECT_LT(saved, kPackages) << "the run was not stopped";
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signals,
    SignalDuringSave,
    testing::Values(SignalCase{SIGINT, "INT"}, SignalCase{SIGTERM, "TERM"}, SignalCase{SIGHUP, "HUP"}),
    [](const testing::TestParamInfo<SignalCase>& info) { return std::string(info.param.name); });

// A folder scan names what it cannot list or examine, with the reason, and fails the command;
// the packages it could read are still shown.
TEST(ScanProblems, ALinkLeadingNowhereIsNamedAndFailsTheCommand)
{
    const TempDir dir;
    WriteFileBytes(dir / "deck.pptx", Deck("kept"));
    fs::create_symlink(dir / "missing.pptx", dir / "gone.pptx");
    fs::create_symlink(dir / "missing.txt", dir / "notes.txt"); // no package was to be found there
    const CliRun show = clitest::RunCli(dir.Path(), {"show", "."});
    EXPECT_EQ(show.status, 1);
    EXPECT_EQ(show.err, "velmora-cli: ./gone.pptx: No such file or directory\n");
    EXPECT_NE(show.out.find("kept"), std::string::npos) << show.out;
}

TEST(ScanProblems, AFolderThatCannotBeListedIsNamedAndFailsTheCommand)
{
    const TempDir dir;
    WriteFileBytes(dir / "deck.pptx", Deck("kept"));
    fs::create_directory(dir / "locked");
    WriteFileBytes(dir / "locked" / "inner.pptx", Deck("hidden"));
    fs::permissions(dir.Path(), fs::perms::all & ~(fs::perms::group_write | fs::perms::others_write));
    fs::permissions(dir / "deck.pptx", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                           fs::perms::others_read);
    fs::permissions(dir / "locked", fs::perms::none);
    // Root lists every folder, so the command runs as nobody then, where that user can be had.
    std::string as;
    if (geteuid() == 0) {
        as = "setpriv --reuid=65534 --regid=65534 --clear-groups";
        int status = -1;
        testsupport::RunCommand(as + " test -x " + Quoted(VELMORA_CLI_BINARY) + " -a -r " +
                                    Quoted((dir / "deck.pptx").string()),
                                &status);
        if (status != 0) {
            fs::permissions(dir / "locked", fs::perms::owner_all);
            GTEST_SKIP() << "running as root, and no unprivileged user can run the program here";
        }
    }
    const CliRun show = clitest::RunCli(dir.Path(), {"show", "."}, "UTC", as);
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(show.status, 1);
    EXPECT_EQ(show.err, "velmora-cli: ./locked: Permission denied\n");
    EXPECT_NE(show.out.find("kept"), std::string::npos) << show.out;
    EXPECT_EQ(show.out.find("hidden"), std::string::npos) << show.out;
}

} // namespace
} // namespace cli
