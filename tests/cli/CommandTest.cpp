#include "CliRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
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
    TempDir dir;
    const CliRun run = RunCli(testsupport::RealCorpusDir(),
                              With({"show", "--json"}, testsupport::RealCorpusPackages()), GetParam().zone);
    EXPECT_EQ(run.status, 1); // the corpus holds packages that cannot be read
    testsupport::WriteFileBytes(dir / "actual.json", run.out);
    Python(kCompare + " " + Quoted((dir / "actual.json").string()) + " " +
           Quoted((testsupport::RealCorpusDir() / GetParam().expected).string()) +
           " --either poi_fuzz_badcd.pptx");
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
    fs::copy_file(testsupport::RealCorpusDir() / "lo_deck1_props.pptx", dir / "a.pptx");
    fs::permissions(dir / "a.pptx", fs::perms::owner_write, fs::perm_options::add);
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
    const std::string original = testsupport::ReadFileBytes(testsupport::RealCorpusDir() / "pp_minimal.pptx");
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
            fs::copy_file(testsupport::RealCorpusDir() / "lo_deck1_props.pptx", dir / name);
            fs::permissions(dir / name, fs::perms::owner_write, fs::perm_options::add);
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
    fs::copy_file(testsupport::RealCorpusDir() / "pp_minimal.pptx", dir / "a.pptx");
    fs::permissions(dir / "a.pptx", fs::perms::owner_write, fs::perm_options::add);
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
                      UsageCase{{"show", "a.pptx", "--", "--not-an-option.pptx"}, 1}));

TEST(ShowCommand, FoldersAndFilesGiveRowsInOrderAndEveryFormatNamesTheSameRows)
{
    TempDir dir;
    fs::create_directories(dir / "sub" / ".hidden");
    fs::copy_file(testsupport::RealCorpusDir() / "pp_minimal.pptx", dir / "sub" / "b.pptx");
    fs::copy_file(testsupport::RealCorpusDir() / "pp_minimal.pptx", dir / "sub" / ".hidden" / "a.PPTX");
    fs::copy_file(testsupport::RealCorpusDir() / "pgjs_owner_lockfile.pptx", dir / "sub" / "~$lock.pptx");
    fs::copy_file(testsupport::RealCorpusDir() / "pp_minimal.pptx", dir / "-dash.pptx");

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
        EXPECT_NE(("\n" + run.err).find("\nbad.pptx: Not a valid zip file!\n"), std::string::npos)
            << arguments[0] << ": " << run.err;
        EXPECT_EQ(run.err.find(dir.Path().string()), std::string::npos) << arguments[0] << ": " << run.err;
    }
}

} // namespace
} // namespace cli
