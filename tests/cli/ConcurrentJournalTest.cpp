#include "CliRunner.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Several velmora-cli processes saving and undoing at the same time into one journal (one user, one
// machine): every process is a run of its own, none is lost, each can be undone.
namespace {

namespace fs = std::filesystem;

using clitest::Quoted;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

constexpr int kGroups = 8;
constexpr int kPerGroup = 10;

std::string IdOf(const std::string& runLine)
{
    return runLine.substr(0, runLine.find(' '));
}

class ConcurrentJournal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const testsupport::PackageBuilder deck = testsupport::PlainDeck();
        for (int g = 0; g < kGroups; ++g) {
            fs::create_directories(m_dir / "share" / Group(g));
            for (int i = 0; i < kPerGroup; ++i) {
                deck.WriteTo(m_dir / "share" / Group(g) / ("deck" + std::to_string(i) + ".pptx"));
            }
        }
        fs::create_directories(m_dir / "other");
        deck.WriteTo(m_dir / "other" / "old.pptx");
    }

    static std::string Group(int g) { return "g" + std::to_string(g); }

    std::string Shell(const std::string& script, int* status = nullptr) const
    {
        return testsupport::RunCommand(
            "cd " + Quoted(m_dir.Path().string()) +
                " && export TZ=UTC XDG_STATE_HOME=" + Quoted((m_dir / "state").string()) +
                " CLI=" + Quoted(VELMORA_CLI_BINARY) + " && {\n" + script + "\n}",
            status);
    }

    // Starts one command per group at once in the background and waits for all; the output is
    // each command's exit status, "group status" a line.
    std::string AtOnce(const std::vector<std::pair<int, std::string>>& commands) const
    {
        std::string script;
        for (const auto& [group, command] : commands) {
            script += "(" + command + " >/dev/null 2>&1; echo " + std::to_string(group) + " $?) & ";
        }
        return Shell(script + "wait");
    }

    std::string Members() const
    {
        return Shell(
            "python3 -c 'import sys, zipfile, hashlib, glob\n"
            "for p in sorted(glob.glob(\"share/*/*.pptx\")):\n"
            "    z = zipfile.ZipFile(p)\n"
            "    print(p, [(i.filename, hashlib.sha256(z.read(i)).hexdigest()) for i in z.infolist()])'");
    }

    // The one run that saved the packages of a group in a round, found by what it set.
    std::string RunOf(int g, const std::string& property) const
    {
        std::string id;
        for (const std::string& line : clitest::HistoryRunLines(Shell("\"$CLI\" history share/" + Group(g)))) {
            if (line.find("  " + std::to_string(kPerGroup) + " packages  " + property) != std::string::npos) {
                EXPECT_TRUE(id.empty()) << "two runs set " << property << " in " << Group(g);
                id = IdOf(line);
            }
        }
        return id;
    }

    TempDir m_dir;
};

// Eight saves start at once, then four saves run while four undos of earlier runs run, all over a
// journal already at its limit of 100 runs: each process's run is recorded whole under an id of its
// own, pruning drops only old runs, and every run is undone in the end.
TEST_F(ConcurrentJournal, SavesAndUndosAtOnceLoseNoRun)
{
    const std::string members = Members();
    // 99 old runs of another package, made from one real run, fill the journal to its limit.
    int status = -1;
    Shell("\"$CLI\" set --set Title=old other/old.pptx 2>&1", &status);
    ASSERT_EQ(status, 0);
    const std::vector<std::string> first = clitest::HistoryRunLines(Shell("\"$CLI\" history"));
    ASSERT_EQ(first.size(), 1u);
    for (int n = 0; n < 99; ++n) {
        fs::copy(m_dir / "state" / "velmora" / "journal" / IdOf(first[0]),
                 m_dir / "state" / "velmora" / "journal" /
                     ("20010101-000000-000-" + std::to_string(1000 + n)));
    }
    ASSERT_EQ(clitest::HistoryRunLines(Shell("\"$CLI\" history")).size(), 100u);

    std::vector<std::pair<int, std::string>> saves;
    for (int g = 0; g < kGroups; ++g) {
        saves.emplace_back(g, "\"$CLI\" set --jobs 2 --set Title=A share/" + Group(g));
    }
    std::string statuses = AtOnce(saves);
    EXPECT_EQ(clitest::Lines(statuses).size(), static_cast<std::size_t>(kGroups));
    for (const std::string& line : clitest::Lines(statuses)) {
        EXPECT_TRUE(line.ends_with(" 0")) << statuses;
    }
    std::vector<std::string> firstRound;
    for (int g = 0; g < kGroups; ++g) {
        firstRound.push_back(RunOf(g, "Title"));
    }

    // Groups 0-3 saved again while the first round's runs of groups 4-7 are undone.
    std::vector<std::pair<int, std::string>> mixed;
    for (int g = 0; g < kGroups / 2; ++g) {
        mixed.emplace_back(g, "\"$CLI\" set --jobs 2 --set Subject=B share/" + Group(g));
        mixed.emplace_back(g + kGroups / 2, "\"$CLI\" undo --run " + firstRound[g + kGroups / 2]);
    }
    statuses = AtOnce(mixed);
    EXPECT_EQ(clitest::Lines(statuses).size(), static_cast<std::size_t>(kGroups));
    for (const std::string& line : clitest::Lines(statuses)) {
        EXPECT_TRUE(line.ends_with(" 0")) << statuses;
    }

    // Twelve runs of these processes, distinct, whole, besides 88 of the old ones.
    const std::vector<std::string> runs = clitest::HistoryRunLines(Shell("\"$CLI\" history"));
    EXPECT_EQ(runs.size(), 100u);
    std::set<std::string> ids;
    std::size_t ours = 0;
    for (const std::string& line : runs) {
        ids.insert(IdOf(line));
        if (line.find("  " + std::to_string(kPerGroup) + " packages  ") != std::string::npos) {
            ++ours;
        }
    }
    EXPECT_EQ(ids.size(), runs.size());
    EXPECT_EQ(ours, static_cast<std::size_t>(kGroups + kGroups / 2));
    for (int g = 0; g < kGroups; ++g) {
        const std::string history = Shell("\"$CLI\" history share/" + Group(g));
        EXPECT_EQ(Shell("\"$CLI\" history share/" + Group(g) + " | grep -c '^    '"),
                  std::to_string(kPerGroup * (g < kGroups / 2 ? 2 : 1)) + "\n")
            << history;
        if (g >= kGroups / 2) {
            EXPECT_TRUE(clitest::HistoryRunLines(history).at(0).ends_with("  undone")) << history;
        }
    }

    // Each remaining run undone by its id, the later save of a package first.
    for (int g = 0; g < kGroups / 2; ++g) {
        for (const std::string& id : {RunOf(g, "Subject"), firstRound[g]}) {
            const std::string undone = Shell("\"$CLI\" undo --run " + id + " 2>&1", &status);
            EXPECT_EQ(status, 0) << undone;
        }
    }
    EXPECT_TRUE(Members() == members);
}

// Two workers given the same packages: a save either lands on the other's result or is refused
// because the package changed under it. History counts only the saves that landed, and undoing the
// folder steps back through them, in the order they replaced each package, to the original.
TEST_F(ConcurrentJournal, OverlappingListsKeepEveryPackageWholeAndUndoable)
{
    const std::string members = Members();
    fs::create_directories(m_dir / "out");
    Shell("for w in A B; do \"$CLI\" set --set Title=$w share/g0 share/g1 >out/$w.out 2>out/$w.err & done; "
          "wait");
    long saved = 0;
    for (const char* worker : {"A", "B"}) {
        const std::string err = ReadFileBytes(m_dir / "out" / (std::string(worker) + ".err"));
        for (const std::string& line : clitest::Lines(err)) {
            const bool summary = line.find(" saved, ") != std::string::npos;
            // Refused at the rename ("The file was ...") or while the archive was read ("Package was ...").
            EXPECT_TRUE(summary || line.ends_with(" was changed by someone else during the update")) << line;
        }
        saved +=
            static_cast<long>(clitest::Lines(ReadFileBytes(m_dir / "out" / (std::string(worker) + ".out"))).size());
    }
    EXPECT_GE(saved, 2 * kPerGroup);

    int status = -1;
    const std::string shown = Shell("\"$CLI\" show --jsonl share/g0 share/g1", &status);
    EXPECT_EQ(status, 0) << shown;
    for (const std::string& line : clitest::Lines(shown)) {
        EXPECT_TRUE(line.find("\"Title\": \"A\"") != std::string::npos ||
                    line.find("\"Title\": \"B\"") != std::string::npos)
            << line;
    }
    const std::string history = Shell("\"$CLI\" history share");
    EXPECT_EQ(Shell("\"$CLI\" history share | grep -c '^    '"), std::to_string(saved) + "\n") << history;

    // Each package was saved once or twice: the first undo of the folder takes back one save of
    // each, the second the rest.
    const std::string first = Shell("\"$CLI\" undo share 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 0) << first;
    EXPECT_EQ(first, "velmora-cli: " + std::to_string(2 * kPerGroup) + " restored, 0 failed\n");
    if (saved > 2 * kPerGroup) {
        const std::string second = Shell("\"$CLI\" undo share 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, 0) << second;
        EXPECT_EQ(second, "velmora-cli: " + std::to_string(saved - 2 * kPerGroup) + " restored, 0 failed\n");
    }
    EXPECT_EQ(Shell("\"$CLI\" undo share 2>&1", &status),
              "velmora-cli: share: nothing to undo below this folder\n"
              "velmora-cli: 0 restored, 1 failed\n");
    EXPECT_TRUE(Members() == members);
}

} // namespace
