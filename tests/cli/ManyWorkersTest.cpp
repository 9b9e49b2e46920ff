#include "CliRunner.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// One job spread over several velmora-cli processes with standard tools, as the README's "Many
// machines" recipe does it: xargs -P over a NUL-separated list, lists split in parts, GNU parallel
// where it is installed. Every process is its own journal run in the one journal of the user.
namespace {

namespace fs = std::filesystem;

using clitest::Quoted;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

constexpr int kPackages = 200;

// The ids of the runs history lists, oldest first.
std::vector<std::string> RunIds(const std::string& history)
{
    std::vector<std::string> ids;
    for (const std::string& line : clitest::HistoryRunLines(history)) {
        ids.push_back(line.substr(0, line.find(' ')));
    }
    return ids;
}

// The summary lines of several processes added up: {saved, unchanged, failed}, and how many there were.
struct Totals
{
    long saved = 0;
    long unchanged = 0;
    long failed = 0;
    int summaries = 0;
};

Totals AddedSummaries(const std::string& err)
{
    Totals totals;
    for (const std::string& line : clitest::Lines(err)) {
        long saved = 0;
        long unchanged = 0;
        long failed = 0;
        if (std::sscanf(line.c_str(), "velmora-cli: %ld saved, %ld unchanged, %ld failed", &saved, &unchanged,
                        &failed) == 3) {
            totals.saved += saved;
            totals.unchanged += unchanged;
            totals.failed += failed;
            ++totals.summaries;
        }
    }
    return totals;
}

class ManyWorkers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Eight folders of 25 decks each, all alike: what the saves change is what tells them apart.
        const testsupport::PackageBuilder deck = testsupport::PlainDeck();
        for (int i = 0; i < kPackages; ++i) {
            const fs::path folder = m_dir / "share" / ("team" + std::to_string(i % 8));
            fs::create_directories(folder);
            deck.WriteTo(folder / ("deck " + std::to_string(i) + ".pptx"));
        }
        fs::create_directories(m_dir / "out");
    }

    // Runs a shell script in the folder with $CLI naming velmora-cli and a journal of its own.
    std::string Shell(const std::string& script, int* status = nullptr) const
    {
        return testsupport::RunCommand(
            "cd " + Quoted(m_dir.Path().string()) + " && export TZ=UTC XDG_STATE_HOME=" +
                Quoted((m_dir / "state").string()) + " CLI=" + Quoted(VELMORA_CLI_BINARY) + " && " + script,
            status);
    }

    // Every package's members with a digest of their bytes, one line each, read by an independent
    // reader in one go.
    std::string Members() const
    {
        return Shell(
            "python3 -c 'import sys, zipfile, hashlib, glob\n"
            "for p in sorted(glob.glob(\"share/*/*.pptx\")):\n"
            "    z = zipfile.ZipFile(p)\n"
            "    print(p, [(i.filename, hashlib.sha256(z.read(i)).hexdigest()) for i in z.infolist()])'");
    }

    std::string SortedShow() const { return Shell("\"$CLI\" show --jsonl share | LC_ALL=C sort"); }

    TempDir m_dir;
};

// The recipe with xargs: four workers of 25 packages each save every package exactly once, one
// run per batch; each run is undone by its id, or the folder's undo restores the rest, and the
// packages are back as they were.
TEST_F(ManyWorkers, XargsBatchesAreRunsEachUndoable)
{
    const std::string members = Members();
    const std::string shown = SortedShow();
    ASSERT_EQ(clitest::Lines(shown).size(), static_cast<std::size_t>(kPackages));

    int status = -1;
    Shell("find share -name '*.pptx' -print0 | xargs -0 -P 4 -n 25 \"$CLI\" set --set Company=X -- "
          ">out/set.out 2>out/set.err",
          &status);
    ASSERT_EQ(status, 0) << ReadFileBytes(m_dir / "out/set.err");

    // Each package saved once, by one of eight processes whose summaries add up.
    std::vector<std::string> saved = clitest::Lines(ReadFileBytes(m_dir / "out/set.out"));
    std::sort(saved.begin(), saved.end());
    std::vector<std::string> expected;
    for (const auto& item : fs::recursive_directory_iterator(m_dir / "share")) {
        if (item.is_regular_file()) {
            expected.push_back(fs::relative(item.path(), m_dir.Path()).string() + ": saved");
        }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(saved, expected);
    const Totals totals = AddedSummaries(ReadFileBytes(m_dir / "out/set.err"));
    EXPECT_EQ(totals.summaries, kPackages / 25);
    EXPECT_EQ(totals.saved, kPackages);
    EXPECT_EQ(totals.failed + totals.unchanged, 0);
    const std::string company = Shell("\"$CLI\" show --jsonl share | grep -c '\"Company\": \"X\"'");
    EXPECT_EQ(company, std::to_string(kPackages) + "\n");

    // One run per batch, each with its 25 packages, ids distinct.
    const std::string history = Shell("\"$CLI\" history");
    const std::vector<std::string> ids = RunIds(history);
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(kPackages / 25)) << history;
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
    for (const std::string& line : clitest::Lines(history)) {
        EXPECT_NE(line.find("  25 packages  Company"), std::string::npos) << line;
    }

    // Half the runs undone by id, the rest by the folder; then nothing is left to undo.
    for (std::size_t i = 0; i < ids.size() / 2; ++i) {
        const std::string undone = Shell("\"$CLI\" undo --run " + ids[i] + " 2>&1", &status);
        EXPECT_EQ(status, 0) << undone;
        EXPECT_EQ(clitest::Lines(undone).size(), 26u) << undone; // 25 restored lines and the summary
    }
    const std::string rest = Shell("\"$CLI\" undo share 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 0) << rest;
    EXPECT_EQ(rest, "velmora-cli: " + std::to_string(kPackages / 2) + " restored, 0 failed\n");
    Shell("\"$CLI\" undo share 2>/dev/null", &status);
    EXPECT_EQ(status, 1) << "nothing is left to undo";
    EXPECT_EQ(Members(), members);
    EXPECT_EQ(SortedShow(), shown);
    for (const std::string& line : clitest::Lines(Shell("\"$CLI\" history"))) {
        EXPECT_TRUE(line.ends_with("  undone")) << line;
    }
}

// show --jsonl of a list split in parts, each part read by its own process at the same time and
// the outputs merged, equals one show of the whole list.
TEST_F(ManyWorkers, ShowPartsMergeToTheWhole)
{
    int status = -1;
    Shell("find share -name '*.pptx' -print0 >out/list && "
          "\"$CLI\" show --jsonl --files-from - -0 <out/list | LC_ALL=C sort >out/whole && "
          "split -t '\\0' -l 30 out/list out/part. && "
          "for part in out/part.*; do \"$CLI\" show --jsonl --files-from - -0 <\"$part\" >\"$part.jsonl\" & "
          "done; "
          "wait && cat out/part.*.jsonl | LC_ALL=C sort >out/merged",
          &status);
    ASSERT_EQ(status, 0);
    const std::string whole = ReadFileBytes(m_dir / "out/whole");
    EXPECT_EQ(clitest::Lines(whole).size(), static_cast<std::size_t>(kPackages));
    EXPECT_EQ(Shell("ls out/part.*.jsonl | wc -l"), "7\n");
    EXPECT_TRUE(ReadFileBytes(m_dir / "out/merged") == whole);
}

// The same recipe with GNU parallel, which hands each job its part of the list on standard input.
TEST_F(ManyWorkers, GnuParallelSplitsTheListOnStandardInput)
{
    if (Shell("command -v parallel >/dev/null && echo yes") != "yes\n") {
        GTEST_SKIP() << "GNU parallel is not installed";
    }
    const std::string members = Members();
    int status = -1;
    Shell("find share -name '*.pptx' -print0 | "
          "parallel -0 --pipe -N25 \"$CLI\" set --set Company=Y --files-from - -0 >/dev/null 2>out/set.err",
          &status);
    ASSERT_EQ(status, 0) << ReadFileBytes(m_dir / "out/set.err");
    const Totals totals = AddedSummaries(ReadFileBytes(m_dir / "out/set.err"));
    EXPECT_EQ(totals.saved, kPackages);
    EXPECT_EQ(totals.summaries, kPackages / 25);
    EXPECT_EQ(RunIds(Shell("\"$CLI\" history")).size(), static_cast<std::size_t>(kPackages / 25));
    const std::string whole = Shell("find share -name '*.pptx' -print0 | "
                                    "\"$CLI\" show --jsonl --files-from - -0 | LC_ALL=C sort");
    const std::string merged =
        Shell("find share -name '*.pptx' -print0 | "
              "parallel -0 --pipe -N30 \"$CLI\" show --jsonl --files-from - -0 | LC_ALL=C sort");
    EXPECT_EQ(merged, whole);
    Shell("\"$CLI\" undo share >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Members(), members);
}

} // namespace
