#include "CliRunner.h"
#include "Version.h"
#include "support/PackageBuilder.h"
#include "support/RealCorpus.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// velmora-cli driven as a user runs it: arguments, exit status, standard output and error.
namespace cli {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

using clitest::CliRun;
using clitest::CopyCorpus;
using clitest::Quoted;
using clitest::RunCli;

std::vector<std::string> With(std::vector<std::string> arguments, const std::vector<std::string>& more)
{
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

int Python(const std::string& arguments)
{
    int status = -1;
    const std::string output = testsupport::RunCommand("python3 " + arguments + " 2>&1", &status);
    if (status != 0) {
        ADD_FAILURE() << arguments << "\n" << output.substr(0, 2000);
    }
    return status;
}

const std::string kCompare = std::string(VELMORA_SOURCE_DIR) + "/tests/cli/compare_rows.py";
const std::string kCompareStatistics = std::string(VELMORA_SOURCE_DIR) + "/tests/cli/compare_statistics.py";
const std::string kDiff = std::string(VELMORA_SOURCE_DIR) + "/tests/cli/diff_packages.py";
const std::string kOracle = (testsupport::SharedDir() / "corpus" / "oracle.py").string();

struct ZoneCase
{
    const char* zone;
    const char* expected;
};

class ShowCorpusTest : public ::testing::TestWithParam<ZoneCase>
{
};

// poi_fuzz_badcd.pptx has a damaged central directory; our reader reports it rather than rebuilding
// the directory from local headers, as the expectation does too. --either keeps both outcomes valid.
TEST_P(ShowCorpusTest, JsonMatchesTheExpectation)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    TempDir dir;
    const CliRun run = RunCli(testsupport::RealCorpusDir(),
                              With({"show", "--json"}, testsupport::RealCorpusPackages()), GetParam().zone);
    EXPECT_EQ(run.status, 1); // the corpus holds packages that cannot be read
    testsupport::WriteFileBytes(dir / "actual.json", run.out);
    Python(kCompare + " " + Quoted((dir / "actual.json").string()) + " " +
           Quoted((testsupport::RealCorpusDir() / GetParam().expected).string()) +
           " --either poi_fuzz_badcd.pptx --zone " + GetParam().zone);
    EXPECT_NE(run.err.find("oxs_encrypted.pptx: "), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Zones,
                         ShowCorpusTest,
                         ::testing::Values(ZoneCase{"UTC", "expected.json"},
                                           ZoneCase{"Europe/Berlin", "expected-berlin.json"}));

const std::vector<std::string> kSetEverything = {"--set", "Title=T \"quoted\" & <tag>",
                                                 "--set", "subject=Sujet: résumé",
                                                 "--set", "Creator=C",
                                                 "--set", "Keywords=k1, k2",
                                                 "--set", "Description=two\nlines",
                                                 "--set", "LastModifiedBy=L",
                                                 "--set", "Revision=42",
                                                 "--set", "LastPrinted=2020-01-15 10:00:00",
                                                 "--set", "CreatedTime=2019-07-01 12:30:00",
                                                 "--set", "ModifiedTime=2021-12-31 23:59:59",
                                                 "--set", "Category=Cat",
                                                 "--set", "ContentType=CT",
                                                 "--set", "ContentStatus=Final",
                                                 "--set", "Template=T.potx",
                                                 "--set", "TotalEditTime(second)=99",
                                                 "--set", "Company=Co",
                                                 "--set", "Manager=M"};

TEST(SetCorpus, ChangesOnlyThePropertyPartsAndReportsWhatCannotBeSaved)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    TempDir before;
    TempDir after;
    CopyCorpus(before.Path());
    CopyCorpus(after.Path());
    // Dates are entered in Berlin time and read back in UTC: one hour off in winter, two in summer.
    const CliRun set = RunCli(after.Path(), With(With({"set"}, kSetEverything), {"--"}), "Europe/Berlin");
    const CliRun setAll =
        RunCli(after.Path(), With(With({"set"}, kSetEverything), testsupport::RealCorpusPackages()),
               "Europe/Berlin");
    EXPECT_EQ(set.status, 2) << "no paths after --";
    EXPECT_EQ(setAll.status, 1);

    const CliRun show = RunCli(after.Path(), With({"show", "--json"}, testsupport::RealCorpusPackages()));
    testsupport::WriteFileBytes(after / "rows.json", show.out);
    Python("-c " + Quoted(R"py(import json, sys
rows = json.load(open(sys.argv[1]))
want = {"Title": 'T "quoted" & <tag>', "Subject": "Sujet: résumé", "Description": "two\nlines",
        "Revision": "42", "LastPrinted": "2020-01-15 09:00:00", "CreatedTime": "2019-07-01 10:30:00",
        "ModifiedTime": "2021-12-31 22:59:59", "TotalEditTime(second)": "99", "Manager": "M"}
bad = [(r["FileName"], k, r[k]) for r in rows if r["Error"] is None for k, v in want.items() if r[k] != v]
assert not bad, bad
assert sum(r["Error"] is None for r in rows) >= 58, len(rows)
)py") + " " +
           Quoted((after / "rows.json").string()));

    std::string saved;
    for (const std::string& name : testsupport::RealCorpusPackages()) {
        const bool wasSaved = setAll.out.find(name + ": saved\n") != std::string::npos;
        // A signed package is saved with a warning on stderr.
        const std::string signedWarning =
            name + ": the package is digitally signed; its signature may no longer verify\n";
        const bool warned = setAll.err.find(signedWarning) != std::string::npos;
        const bool failed = !warned && setAll.err.find(name + ": ") != std::string::npos;
        EXPECT_NE(wasSaved, failed) << name;
        EXPECT_EQ(warned, wasSaved && name.find("_signed") != std::string::npos) << name;
        if (wasSaved) {
            saved += " " + Quoted(name);
        } else {
            EXPECT_EQ(ReadFileBytes(after / name), ReadFileBytes(before / name)) << name;
        }
    }
    Python(kDiff + " " + Quoted(kOracle) + " " + Quoted(before.Path().string()) + " " +
           Quoted(after.Path().string()) + saved);
}

TEST(SetCommand, ClearingRemovesTheElementsAndDryRunWritesNothing)
{
    TempDir dir;
    testsupport::PropertyDeck().WriteTo(dir / "a.pptx");
    const std::string original = ReadFileBytes(dir / "a.pptx");

    const CliRun dry = RunCli(dir.Path(), {"set", "--dry-run", "--clear", "Title", "a.pptx"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, "a.pptx: Title: \"Quarterly review – Q3 “draft” & notes\" -> \"\"\n");
    EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), original);

    const CliRun clear = RunCli(dir.Path(), {"set", "--clear", "Title", "--clear", "company", "a.pptx"});
    EXPECT_EQ(clear.status, 0) << clear.err;
    EXPECT_EQ(clear.out, "a.pptx: saved\n");
    const CliRun show = RunCli(dir.Path(), {"show", "--csv", "a.pptx"});
    EXPECT_EQ(show.out.find("Quarterly"), std::string::npos);
    const std::string listing =
        testsupport::RunCommand("unzip -p " + Quoted((dir / "a.pptx").string()) + " docProps/core.xml");
    EXPECT_EQ(listing.find("title>"), std::string::npos) << listing;

    // Values the package holds already stage nothing: the package is not rewritten.
    const std::string cleared = ReadFileBytes(dir / "a.pptx");
    const auto time = fs::last_write_time(dir / "a.pptx");
    const CliRun again =
        RunCli(dir.Path(), {"set", "--clear", "Title", "--custom-clear", "Absent", "--no-journal", "a.pptx"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out.find("saved"), std::string::npos) << again.out;
    EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), cleared);
    EXPECT_EQ(fs::last_write_time(dir / "a.pptx"), time);
}

// Ctrl+C during a run: the package in hand is finished, the rest are named as not saved and keep
// their bytes, and the exit status is 130. Each package is either saved whole or untouched.
TEST(SetCommand, CtrlCFinishesThePackageInHandAndExits130)
{
    TempDir dir;
    constexpr int kPackages = 600;
    const std::string original = testsupport::PlainDeck().Build();
    for (int i = 0; i < kPackages; ++i) {
        testsupport::WriteFileBytes(dir / ("p" + std::to_string(1000 + i) + ".pptx"), original);
    }
    testsupport::WriteFileBytes(dir / "marker", "");
    // Started in the background; interrupted as soon as the first package was rewritten.
    const std::string script = "cd " + Quoted(dir.Path().string()) +
                               " && (TZ=UTC XDG_STATE_HOME=" + Quoted((dir / "state").string()) + " " +
                               VELMORA_CLI_BINARY +
                               " set --jobs 1 --set Title=Interrupted p*.pptx >out 2>err & pid=$!; "
                               "until [ -n \"$(find . -name 'p*.pptx' -newer marker | head -1)\" ] || "
                               "! kill -0 $pid 2>/dev/null; do sleep 0.005; done; kill -INT $pid; wait $pid; "
                               "echo $?)";
    const std::string status = testsupport::RunCommand(script);
    const std::string out = testsupport::ReadFileBytes(dir / "out");
    const std::string err = testsupport::ReadFileBytes(dir / "err");
    ASSERT_EQ(status, "130\n") << err;
    const auto saved = static_cast<int>(std::count(out.begin(), out.end(), '\n'));
    EXPECT_GT(saved, 0);
    EXPECT_LT(saved, kPackages) << "the run was not stopped";
    int changed = 0;
    for (int i = 0; i < kPackages; ++i) {
        const std::string name = "p" + std::to_string(1000 + i) + ".pptx";
        if (testsupport::ReadFileBytes(dir / name) != original) {
            ++changed;
            EXPECT_NE(out.find(name + ": saved\n"), std::string::npos) << name;
        } else {
            EXPECT_NE(err.find(name + ": not saved: the save was cancelled\n"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(changed, saved);
    const CliRun show = RunCli(dir.Path(), {"show", "--csv", "p1000.pptx"});
    EXPECT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find("Interrupted"), std::string::npos);
}

// By default and with --jobs 1 (one package at a time) alike.
TEST(SetCommand, SavesInParallelButReportsInTheOrderGiven)
{
    for (const char* jobs : {"", "1"}) {
        SCOPED_TRACE(jobs);
        TempDir dir;
        std::vector<std::string> arguments{"set", "--set", "Title=Parallel"};
        if (*jobs != '\0') {
            arguments.insert(arguments.end(), {"--jobs", jobs});
        }
        std::string expected;
        // Twelve packages in an order that is not the folder's, one of them twice (saved once).
        for (int i = 11; i >= 0; --i) {
            const std::string name = "p" + std::to_string(i) + ".pptx";
            testsupport::PropertyDeck().WriteTo(dir / name);
            arguments.push_back(name);
            expected += name + ": saved\n";
        }
        arguments.push_back("./p5.pptx");
        const CliRun run = RunCli(dir.Path(), arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected);
        const CliRun show = RunCli(dir.Path(), {"show", "--csv", "p0.pptx", "p11.pptx"});
        const std::size_t first = show.out.find("Parallel");
        ASSERT_NE(first, std::string::npos) << show.out;
        EXPECT_NE(show.out.find("Parallel", first + 1), std::string::npos) << show.out;
    }
}

struct UsageCase
{
    std::vector<std::string> arguments;
    int status;
};

class UsageTest : public ::testing::TestWithParam<UsageCase>
{
};

TEST_P(UsageTest, BadArgumentsTouchNoFile)
{
    TempDir dir;
    testsupport::PlainDeck().WriteTo(dir / "a.pptx");
    const std::string original = ReadFileBytes(dir / "a.pptx");
    const CliRun run = RunCli(dir.Path(), GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), original);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments,
    UsageTest,
    ::testing::Values(UsageCase{{}, 2},
                      UsageCase{{"frobnicate"}, 2},
                      UsageCase{{"show"}, 2},
                      UsageCase{{"show", "--json", "--csv", "a.pptx"}, 2},
                      UsageCase{{"show", "--help"}, 0},
                      UsageCase{{"set", "--help"}, 0},
                      UsageCase{{"set", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "Nope=1", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "CreatedTime=2013-13-01 00:00:00", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "Revision=1.5", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "Title=a", "--set", "title=b", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "Title=x", "missing.pptx"}, 1},
                      UsageCase{{"set", "--jobs", "0", "--set", "Title=x", "a.pptx"}, 2},
                      UsageCase{{"set", "--match", "(.*)", "--set", "Title=x", "a.pptx"}, 2},
                      UsageCase{{"set", "--set", "CreatedTime=2013-05-06T07:08:09", "a.pptx"}, 2},
                      UsageCase{{"show", "a.pptx", "--", "--not-an-option.pptx"}, 1}));

TEST(Usage, VersionIsTheReleaseAndHelpNamesIt)
{
    TempDir dir;
    const CliRun version = RunCli(dir.Path(), {"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "velmora-cli " VELMORA_VERSION "\n");
    EXPECT_EQ(version.err, "");
    const CliRun help = RunCli(dir.Path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
}

// What the bash completion offers for the line typed so far, run in folder.
std::vector<std::string> Completions(const fs::path& folder, const std::string& line)
{
    static const fs::path script = fs::absolute("data/velmora-cli.bash");
    const std::string program =
        "source /usr/share/bash-completion/bash_completion; source " + clitest::Quoted(script.string()) +
        "; COMP_LINE=$1; COMP_POINT=${#COMP_LINE}; read -ra COMP_WORDS <<<\"$COMP_LINE\"; "
        "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=(''); "
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _velmora_cli; "
        "printf '%s\\n' \"${COMPREPLY[@]}\"";
    int status = -1;
    const std::string out = testsupport::RunCommand("cd " + clitest::Quoted(folder.string()) +
                                                        " && bash --norc -c " + clitest::Quoted(program) +
                                                        " bash " + clitest::Quoted(line) + " 2>/dev/null",
                                                    &status);
    std::vector<std::string> offered;
    std::string::size_type start = 0;
    for (auto end = out.find('\n'); end != std::string::npos; start = end + 1, end = out.find('\n', start)) {
        if (end > start) {
            offered.push_back(out.substr(start, end - start));
        }
    }
    std::sort(offered.begin(), offered.end());
    return offered;
}

bool Offers(const std::vector<std::string>& offered, const std::vector<std::string>& words)
{
    return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
        return std::find(offered.begin(), offered.end(), word) != offered.end();
    });
}

TEST(Completion, OffersEveryCommandAndOption)
{
    ASSERT_TRUE(fs::exists("/usr/share/bash-completion/bash_completion"))
        << "bash-completion is not installed";
    TempDir dir;
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli "),
              (std::vector<std::string>{"export", "history", "import", "set", "show", "thumbnail", "undo"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli --v"), std::vector<std::string>{"--version"});
    const std::vector<std::pair<std::string, std::vector<std::string>>> options = {
        {"show", {"--json", "--csv", "--utc", "--custom", "--stats", "--ext", "--help"}},
        {"set",
         {"--set", "--clear", "--fill", "--match", "--custom", "--custom-clear", "--clear-personal",
          "--dry-run", "--json", "--ext", "--no-journal", "--keep-mtime", "--ignore-locks", "--jobs"}},
        {"export", {"--format", "--output", "--custom", "--utc", "--ext"}},
        {"import",
         {"--dry-run", "--empty-clears", "--skip-invalid", "--ignore-unknown-columns", "--zone",
          "--no-journal", "--keep-mtime", "--ignore-locks", "--jobs", "--ext"}},
        {"history", {"--purge"}},
        {"undo", {"--run", "--keep-mtime", "--ignore-locks"}},
        {"thumbnail", {"--output", "--help"}},
    };
    for (const auto& [command, expected] : options) {
        EXPECT_TRUE(Offers(Completions(dir.Path(), "velmora-cli " + command + " --"), expected)) << command;
    }
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli export --format "),
              (std::vector<std::string>{"csv", "html", "text", "xlsx", "xml"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli import --zone Europe/Berl"),
              std::vector<std::string>{"Europe/Berlin"});
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli show --ext pptx,do"),
              (std::vector<std::string>{"pptx,docm", "pptx,docx", "pptx,dotm", "pptx,dotx"}));
}

TEST(Completion, PropertyNamesKeepTheLineValid)
{
    TempDir dir;
    const std::vector<std::string> offered = Completions(dir.Path(), "velmora-cli set --set T");
    EXPECT_EQ(offered, (std::vector<std::string>{"'TotalEditTime(second)='", "Template=", "Title="}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli set --clear TotalE"),
              std::vector<std::string>{"'TotalEditTime(second)'"});
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli set --fill Comp"), std::vector<std::string>{"Company="});
    // The word as completed, with a value typed after it, is one valid shell word.
    int status = -1;
    const std::string word = testsupport::RunCommand(
        "bash --norc -c " + clitest::Quoted("printf '%s' " + offered.at(0) + "3600"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(word, "TotalEditTime(second)=3600");
}

TEST(Completion, PathsAreFilteredToPackagesOrTables)
{
    TempDir dir;
    for (const char* name : {"a.pptx", "b.DOCX", "notes.txt", "table.csv"}) {
        std::ofstream(dir / name) << "x";
    }
    fs::create_directory(dir / "sub");
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli show "),
              (std::vector<std::string>{"a.pptx", "b.DOCX", "sub"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli set --set Title=x "),
              (std::vector<std::string>{"a.pptx", "b.DOCX", "sub"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli import "), (std::vector<std::string>{"sub", "table.csv"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli thumbnail --output x "),
              (std::vector<std::string>{"a.pptx", "b.DOCX", "sub"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli import table.csv "),
              (std::vector<std::string>{"a.pptx", "b.DOCX", "sub"}));
    EXPECT_EQ(Completions(dir.Path(), "velmora-cli show -- "),
              (std::vector<std::string>{"a.pptx", "b.DOCX", "sub"}));
}

// The manual page documents every option each command's --help lists, and what a user needs
// beyond them.
TEST(Manual, DescribesEveryOptionOfEveryCommand)
{
    const std::string manual = ReadFileBytes("data/velmora-cli.1");
    ASSERT_FALSE(manual.empty());
    const auto roff = [](std::string text) {
        for (std::string::size_type at = text.find('-'); at != std::string::npos;
             at = text.find('-', at + 2)) {
            text.replace(at, 1, "\\-");
        }
        return text;
    };
    TempDir dir;
    const std::regex option("--[a-z][a-z-]*");
    for (const char* command : {"show", "set", "export", "import", "history", "undo", "thumbnail"}) {
        const CliRun help = RunCli(dir.Path(), {command, "--help"});
        ASSERT_EQ(help.status, 0) << command;
        std::size_t found = 0;
        for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option);
             it != std::sregex_iterator(); ++it, ++found) {
            EXPECT_NE(manual.find(roff(it->str())), std::string::npos) << command << " " << it->str();
        }
        EXPECT_GT(found, 1U) << command;
        EXPECT_NE(manual.find(".SS " + std::string(command)), std::string::npos) << command;
    }
    for (const char* topic :
         {".SH THE JOURNAL", ".SH DATES", ".SH EXIT STATUS", ".SH ENVIRONMENT", ".SH EXAMPLES", ".B 130",
          ".B TZ", ".B XDG_STATE_HOME", ".B TMPDIR", "200 MiB"}) {
        EXPECT_NE(manual.find(topic), std::string::npos) << topic;
    }
}

TEST(ShowCommand, FoldersAndFilesGiveRowsInOrderAndEveryFormatNamesTheSameRows)
{
    TempDir dir;
    fs::create_directories(dir / "sub" / ".hidden");
    testsupport::PlainDeck().WriteTo(dir / "sub" / "b.pptx");
    testsupport::PlainDeck().WriteTo(dir / "sub" / ".hidden" / "a.PPTX");
    // The owner file another program keeps beside a package it has open: a name and zeros.
    testsupport::WriteFileBytes(dir / "sub" / "~$lock.pptx", "\x08Jane Doe" + std::string(156, '\0'));
    testsupport::PlainDeck().WriteTo(dir / "-dash.pptx");

    const CliRun json = RunCli(dir.Path(), {"show", "--json", "sub", "--", "-dash.pptx"});
    EXPECT_EQ(json.status, 0) << json.err; // the small lock file in a folder is skipped
    // Full paths are absolute, so that the output names the packages from any folder.
    const std::size_t hidden = json.out.find("\"" + (dir / "sub/.hidden/a.PPTX").string() + "\"");
    const std::size_t visible = json.out.find("\"" + (dir / "sub/b.pptx").string() + "\"");
    const std::size_t dash = json.out.find("\"" + (dir / "-dash.pptx").string() + "\"");
    EXPECT_TRUE(hidden < visible && visible < dash) << json.out;

    const CliRun lock = RunCli(dir.Path(), {"show", "--csv", "sub/~$lock.pptx"});
    EXPECT_EQ(lock.status, 1); // named explicitly, it is listed with its error
    EXPECT_EQ(lock.out.rfind("FileName,FullPath,FileSize,Title,", 0), 0U) << lock.out;
    EXPECT_NE(lock.out.find("\r\n~$lock.pptx," + (dir / "sub/~$lock.pptx").string() + ",165,"),
              std::string::npos)
        << lock.out;
    EXPECT_NE(lock.err.find("sub/~$lock.pptx: "), std::string::npos);

    const CliRun table = RunCli(dir.Path(), {"show", "sub"});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out.rfind("FileName ", 0), 0U) << table.out;
    EXPECT_NE(table.out.find("\nb.pptx "), std::string::npos) << table.out;
}

// The statistics in every format of show, between the grid's columns and the custom ones, and a table
// written with them imports.
TEST(ShowCommand, StatsAddTheTenStatisticsToEveryFormat)
{
    TempDir dir;
    testsupport::PackageBuilder::Presentation(
        testsupport::CoreXml("<dc:title>T</dc:title>"),
        testsupport::AppXml(
            "<Application>Deck, \"maker\"</Application><Slides>7</Slides><Company>C</Company>"))
        .WriteTo(dir / "a.pptx");
    testsupport::PackageBuilder::Presentation(testsupport::CoreXml("<dc:title>U</dc:title>"), "")
        .WriteTo(dir / "b.pptx");

    const CliRun json = RunCli(dir.Path(), {"show", "--json", "--stats", "--custom", "a.pptx", "b.pptx"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(
        json.out.find("\"Error\": null,\n  \"Statistics\": {\n   \"Application\": \"Deck, \\\"maker\\\"\",\n"
                      "   \"AppVersion\": \"\",\n   \"PresentationFormat\": \"\",\n   \"Slides\": \"7\",\n"),
        std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"HyperlinkBase\": \"\"\n  },\n  \"Custom\": {}"), std::string::npos)
        << json.out;
    EXPECT_EQ(RunCli(dir.Path(), {"show", "--json", "a.pptx"}).out.find("Statistics"), std::string::npos);

    const std::string captions =
        "Error,Statistic:Application,Statistic:AppVersion,Statistic:PresentationFormat,Statistic:Slides,"
        "Statistic:Notes,Statistic:HiddenSlides,Statistic:Words,Statistic:Paragraphs,Statistic:MMClips,"
        "Statistic:HyperlinkBase\r\n";
    const CliRun csv = RunCli(dir.Path(), {"show", "--csv", "--stats", "a.pptx", "b.pptx"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find(captions), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",C,,,\"Deck, \"\"maker\"\"\",,,7,,,,,,\r\n"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",U,"), std::string::npos) << csv.out;

    const CliRun table = RunCli(dir.Path(), {"show", "--stats", "a.pptx"});
    EXPECT_NE(table.out.find("Manager  Statistic:Application  Statistic:AppVersion"), std::string::npos)
        << table.out;

    // A table written with the statistics imports; they are never written back.
    testsupport::WriteFileBytes(dir / "t.csv", csv.out);
    const std::string before = ReadFileBytes(dir / "a.pptx");
    const CliRun imported = RunCli(dir.Path(), {"import", "--no-journal", "t.csv"});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "velmora-cli: 0 saved, 2 unchanged, 0 failed\n");
    EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), before);
}

// The statistics and thumbnails of the real packages as a second reader sees them.
TEST(StatisticsCorpus, ShowStatsAndThumbnailMatchASecondReader)
{
    VELMORA_REQUIRE_REAL_CORPUS();
    TempDir dir;
    std::vector<std::string> arguments = {"show", "--json", "--stats"};
    fs::create_directory(dir / "thumbnails");
    for (const std::string& name : testsupport::RealCorpusPackages()) {
        arguments.push_back(name);
        const CliRun run =
            RunCli(testsupport::RealCorpusDir(),
                   {"thumbnail", "--output", (dir / "thumbnails" / (name + ".bin")).string(), name});
        EXPECT_EQ(run.status == 0, run.err.empty()) << name << ": " << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliRun run = RunCli(testsupport::RealCorpusDir(), arguments);
    EXPECT_EQ(run.status, 1); // the corpus holds packages that cannot be read
    testsupport::WriteFileBytes(dir / "rows.json", run.out);
    std::string output;
    EXPECT_EQ(clitest::RunPython({kCompareStatistics, (dir / "rows.json").string(),
                                  testsupport::RealCorpusDir().string(), "--thumbnails",
                                  (dir / "thumbnails").string()},
                                 &output),
              0)
        << output;
}

// A message names the package once, as the user gave it, and nothing follows the reason, whichever
// layer read the file and under whichever name.
TEST(Messages, NameThePackageOnceAtTheFront)
{
    TempDir dir;
    testsupport::WriteFileBytes(dir / "bad.pptx", "not a package at all");
    testsupport::WriteFileBytes(dir / "table.csv", "FullPath,Title\nbad.pptx,x\n");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"set", "--set", "Title=x", "bad.pptx"},
          {"set", "--no-journal", "--set", "Title=x", "bad.pptx"},
          {"show", "bad.pptx"},
          {"export", "--format", "csv", "--output", "out.csv", "bad.pptx"},
          {"import", "table.csv"}}) {
        const CliRun run = RunCli(dir.Path(), arguments);
        EXPECT_EQ(run.status, 1) << arguments[0];
        EXPECT_NE(("\n" + run.err).find("\nvelmora-cli: bad.pptx: Not a valid zip file!\n"), std::string::npos)
            << arguments[0] << ": " << run.err;
        EXPECT_EQ(run.err.find(dir.Path().string()), std::string::npos) << arguments[0] << ": " << run.err;
    }
}

// Every line on standard error, whatever went wrong and in whichever command, has the tool's one
// form, so that a script can pick out the tool's complaints from a mixed error stream.
TEST(Messages, EveryLineOnStandardErrorHasTheToolsForm)
{
    TempDir dir;
    testsupport::WriteFileBytes(dir / "bad.pptx", "not a package at all");
    testsupport::WriteFileBytes(dir / "table.csv", "FileName,Title\nother.pptx,x\n");
    std::filesystem::create_directory(dir / "empty");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"show", "bad.pptx", "missing.pptx", "empty"},
          {"show", "--bogus", "bad.pptx"},
          {"set", "--set", "Nope=1", "bad.pptx"},
          {"set", "--set", "Title=x", "bad.pptx"},
          {"undo", "bad.pptx"},
          {"undo", "--run", "nosuchrun"},
          {"import", "table.csv", "bad.pptx"},
          {"import", "missing.csv", "bad.pptx"},
          {"export", "--format", "csv", "--output", "bad.pptx", "bad.pptx"},
          {"thumbnail", "--output", "t.png", "bad.pptx"}}) {
        const CliRun run = RunCli(dir.Path(), arguments);
        EXPECT_NE(run.status, 0) << arguments[0];
        ASSERT_FALSE(run.err.empty()) << arguments[0];
        std::size_t begin = 0;
        for (std::size_t end = run.err.find('\n'); end != std::string::npos; end = run.err.find('\n', begin)) {
            EXPECT_EQ(run.err.compare(begin, 13, "velmora-cli: "), 0) << arguments[0] << ": " << run.err;
            begin = end + 1;
        }
        EXPECT_EQ(begin, run.err.size()) << arguments[0] << ": the last line is not ended: " << run.err;
    }
    EXPECT_EQ(ReadFileBytes(dir / "bad.pptx"), "not a package at all");
}

// set and import --help teach the names and forms they take; the tool's help ends with the exit codes;
// a misspelled name is answered with the names it was probably meant to be.
TEST(Help, TeachesNamesDateFormsTypesAndExitCodes)
{
    TempDir dir;
    for (const char* command : {"set", "import"}) {
        const CliRun help = RunCli(dir.Path(), {command, "--help"});
        EXPECT_EQ(help.status, 0);
        for (const char* expected :
             {"Title, Subject, Creator, Keywords, Description, LastModifiedBy, Revision", "LastPrinted",
              "ContentStatus, Template, TotalEditTime(second), Company, Manager", "2024-01-02 10:00:00",
              "\n  2024-01-02 ", "2024-01-02T10:00:00Z", "2024-01-02T10:00:00+01:00",
              "text, int, real, bool (true or false), date"}) {
            EXPECT_NE(help.out.find(expected), std::string::npos) << command << ": " << expected;
        }
    }
    const CliRun top = RunCli(dir.Path(), {"--help"});
    EXPECT_EQ(top.status, 0);
    const std::size_t codes = top.out.find("Exit codes:\n  0 ");
    ASSERT_NE(codes, std::string::npos) << top.out;
    EXPECT_NE(top.out.find("\n  130  Ctrl+C stopped set, import or undo", codes), std::string::npos)
        << top.out;

    const CliRun typo = RunCli(dir.Path(), {"set", "--set", "Titel=x", "a.pptx"});
    EXPECT_EQ(typo.status, 2);
    EXPECT_NE(typo.err.find("unknown property name \"Titel\"; did you mean Title?"), std::string::npos)
        << typo.err;
    const CliRun near = RunCli(dir.Path(), {"set", "--clear", "lastmodifiedbye", "a.pptx"});
    EXPECT_NE(near.err.find("did you mean LastModifiedBy?"), std::string::npos) << near.err;
    const CliRun far = RunCli(dir.Path(), {"set", "--set", "Colour=x", "a.pptx"});
    EXPECT_NE(far.err.find("the names are: Title, Subject,"), std::string::npos) << far.err;
}

std::string CoreXml(const fs::path& package)
{
    return testsupport::RunCommand("unzip -p " + Quoted(package.string()) + " docProps/core.xml");
}

struct DateCase
{
    const char* zone;
    const char* given;
    const char* stored; // the instant the package holds afterwards
    const char* shown;  // show's local text
};

class DateForms : public ::testing::TestWithParam<DateCase>
{
};

// Every accepted form goes in as the instant it names, in the zone of TZ, and comes out as local
// text, or with --utc as that instant.
TEST_P(DateForms, GoInAsTheInstantTheyNameAndComeOutLocalOrUtc)
{
    const DateCase& c = GetParam();
    TempDir dir;
    testsupport::PlainDeck().WriteTo(dir / "a.pptx");
    const CliRun set =
        RunCli(dir.Path(), {"set", "--set", std::string("CreatedTime=") + c.given, "a.pptx"}, c.zone);
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_NE(CoreXml(dir / "a.pptx").find(std::string(">") + c.stored + "</dcterms:created>"),
              std::string::npos)
        << CoreXml(dir / "a.pptx");
    const CliRun json = RunCli(dir.Path(), {"show", "--json", "a.pptx"}, c.zone);
    EXPECT_NE(json.out.find(std::string("\"CreatedTime\": \"") + c.shown + "\""), std::string::npos)
        << json.out;
    const CliRun utc = RunCli(dir.Path(), {"show", "--json", "--utc", "a.pptx"}, c.zone);
    EXPECT_NE(utc.out.find(std::string("\"CreatedTime\": \"") + c.stored + "\""), std::string::npos)
        << utc.out;
    const CliRun csv = RunCli(dir.Path(), {"show", "--csv", "--utc", "a.pptx"}, c.zone);
    EXPECT_NE(csv.out.find(std::string(",") + c.stored + ","), std::string::npos) << csv.out;
    // A save of another property leaves the stored date as it was.
    const CliRun title = RunCli(dir.Path(), {"set", "--set", "Title=Other", "a.pptx"}, c.zone);
    ASSERT_EQ(title.status, 0) << title.err;
    EXPECT_NE(CoreXml(dir / "a.pptx").find(std::string(">") + c.stored + "</dcterms:created>"),
              std::string::npos)
        << CoreXml(dir / "a.pptx");
}

INSTANTIATE_TEST_SUITE_P(
    Zones,
    DateForms,
    ::testing::Values(
        DateCase{"UTC", "2024-01-02 10:00:00", "2024-01-02T10:00:00Z", "2024-01-02 10:00:00"},
        DateCase{"UTC", "2024-01-02", "2024-01-02T00:00:00Z", "2024-01-02 00:00:00"},
        DateCase{"UTC", "2024-01-02T10:00:00+01:00", "2024-01-02T09:00:00Z", "2024-01-02 09:00:00"},
        DateCase{"Europe/Berlin", "2024-01-02 10:00:00", "2024-01-02T09:00:00Z", "2024-01-02 10:00:00"},
        DateCase{"Europe/Berlin", "2024-07-02", "2024-07-01T22:00:00Z", "2024-07-02 00:00:00"},
        DateCase{"Europe/Berlin", "2024-01-02T10:00:00Z", "2024-01-02T10:00:00Z", "2024-01-02 11:00:00"},
        DateCase{"Europe/Berlin", "2024-07-02T10:00:00-0230", "2024-07-02T12:30:00Z", "2024-07-02 14:30:00"},
        // The two instants of the hour the clocks show twice on 27 October 2024: the local text
        // "2024-10-27 02:30:00" would not say which is meant, so each is shown as its instant.
        DateCase{"Europe/Berlin", "2024-10-27T00:30:00Z", "2024-10-27T00:30:00Z", "2024-10-27T00:30:00Z"},
        DateCase{"Europe/Berlin", "2024-10-27T02:30:00+01:00", "2024-10-27T01:30:00Z",
                 "2024-10-27T01:30:00Z"}));

// A local time the clocks skip (02:30 on 31 March 2024 in Berlin) is refused by name on every path
// that takes a local date, and no package is touched.
TEST(Dates, ASkippedLocalTimeIsRefusedOnEveryPath)
{
    TempDir dir;
    testsupport::PlainDeck().WriteTo(dir / "a.pptx");
    const std::string original = ReadFileBytes(dir / "a.pptx");
    testsupport::WriteFileBytes(dir / "t.csv", "FullPath,CreatedTime\na.pptx,2024-03-31 02:30:00\n");
    const std::string skipped = "\"2024-03-31 02:30:00\" ";
    for (const auto& [arguments, status] : std::vector<std::pair<std::vector<std::string>, int>>{
             {{"set", "--set", "CreatedTime=2024-03-31 02:30:00", "a.pptx"}, 2},
             {{"set", "--custom", "Due:date=2024-03-31 02:30:00", "a.pptx"}, 2},
             {{"import", "t.csv"}, 1}}) {
        const CliRun run = RunCli(dir.Path(), arguments, "Europe/Berlin");
        EXPECT_EQ(run.status, status) << arguments[1] << ": " << run.err;
        EXPECT_NE(run.err.find(skipped), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("the clocks skip it"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), original);
    }
    // In UTC the same text is an ordinary time, and an import takes every form.
    testsupport::WriteFileBytes(dir / "u.csv", "FullPath,CreatedTime,LastPrinted\na.pptx,2024-03-31 02:30:00,"
                                               "2024-01-02T10:00:00+01:00\n");
    const CliRun import = RunCli(dir.Path(), {"import", "u.csv"});
    EXPECT_EQ(import.status, 0) << import.err;
    EXPECT_NE(CoreXml(dir / "a.pptx").find(">2024-03-31T02:30:00Z</dcterms:created>"), std::string::npos);
    EXPECT_NE(CoreXml(dir / "a.pptx").find(">2024-01-02T09:00:00Z</cp:lastPrinted>"), std::string::npos);
}

// A folder without a package of the chosen kinds is named as an error by every command that takes
// folders; the other paths are still done.
TEST(Folders, WithoutPackagesAreAnErrorAndTheOtherPathsAreDone)
{
    TempDir dir;
    fs::create_directories(dir / "empty" / "sub");
    testsupport::WriteFileBytes(dir / "empty" / "notes.txt", "no package here");
    testsupport::PlainDeck().WriteTo(dir / "empty" / "deck.potx");
    testsupport::PlainDeck().WriteTo(dir / "a.pptx");
    testsupport::WriteFileBytes(dir / "t.csv", "FullPath,Title\na.pptx,Imported\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> commands = {
        {{"show", "--csv", "empty", "a.pptx"}, "a.pptx,"},
        {{"set", "--set", "Title=Set", "empty", "a.pptx"}, "a.pptx: saved\n"},
        {{"export", "--format", "csv", "--output", "-", "empty", "a.pptx"}, "a.pptx,"},
        {{"import", "t.csv", "empty", "a.pptx"}, "a.pptx: saved\n"}};
    for (const auto& [arguments, done] : commands) {
        const CliRun run = RunCli(dir.Path(), arguments);
        EXPECT_EQ(run.status, 1) << arguments[0];
        EXPECT_NE(run.err.find("empty: no packages found\n"), std::string::npos) << arguments[0] << run.err;
        EXPECT_NE(run.out.find(done), std::string::npos) << arguments[0] << ": " << run.out;
    }
    // With the kind it holds, the folder is no error.
    EXPECT_EQ(RunCli(dir.Path(), {"show", "--ext", "potx", "empty"}).status, 0);
}

// A set that changes nothing says so and leaves the package as it was; its dry run lists only the
// values that differ.
TEST(SetCommand, SaysUnchangedWhereNothingDiffers)
{
    TempDir dir;
    testsupport::PlainDeck().WriteTo(dir / "a.pptx");
    const std::string state = "XDG_STATE_HOME=" + Quoted((dir / "state").string());
    EXPECT_EQ(RunCli(dir.Path(), {"set", "--set", "Title=Same", "a.pptx"}, "UTC", state).out,
              "a.pptx: saved\n");
    const std::string saved = ReadFileBytes(dir / "a.pptx");
    const CliRun dry =
        RunCli(dir.Path(), {"set", "--dry-run", "--set", "Title=Same", "--set", "Subject=New", "a.pptx"});
    EXPECT_EQ(dry.out, "a.pptx: Subject: \"\" -> \"New\"\n");
    const CliRun again =
        RunCli(dir.Path(), {"set", "--set", "Title=Same", "--clear", "Keywords", "a.pptx"}, "UTC", state);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "a.pptx: unchanged\n");
    EXPECT_EQ(ReadFileBytes(dir / "a.pptx"), saved);
    // Nothing was journaled for it: the one undo goes back to before the first set.
    EXPECT_EQ(RunCli(dir.Path(), {"undo", "a.pptx"}, "UTC", state).status, 0);
    EXPECT_EQ(RunCli(dir.Path(), {"undo", "a.pptx"}, "UTC", state).status, 1);
}

} // namespace
} // namespace cli
