// A journaled save killed after its journal entry was complete but before the new package replaced
// the old one: the package is the old one, and undo passes the entry over without touching it.
#include "archive/UpdatePackage.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/UndoSave.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "engine/package/SaveHooks.h"
#include "engine/package/ScratchFolder.h"
#include "reliability/ChildProcess.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>

namespace reliability {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;

std::string TitleOf(const fs::path& package)
{
    engine::DocumentRecord record;
    record.FullPath = package.string();
    EXPECT_TRUE(engine::LoadDocument(record).ok) << record.LastError;
    return record.Value(0);
}

void SaveTitle(const fs::path& package, const fs::path& root, const std::string& title)
{
    engine::DocumentRecord record;
    record.FullPath = package.string();
    ASSERT_TRUE(engine::LoadDocument(record).ok);
    record.Value(0) = title;
    record.SetChanged(0, true);
    record.Modified = true;
    engine::SaveJournal journal(root, {"Title"});
    journal.RecordBefore({package.string()});
    ASSERT_TRUE(engine::SaveDocument(record, {&journal, false}).ok) << record.LastError;
    journal.Finish();
}

TEST(JournalKill, SaveKilledBeforeTheRenameLeavesAnEntryUndoPassesOver)
{
    testsupport::TempDir dir;
    const fs::path package = dir / "deck.pptx";
    const fs::path root = dir / "journal";
    testsupport::PropertyDeck().WriteTo(package);
    const std::string original = ReadFileBytes(package);

    const ChildResult killed = RunInChild([&] {
        engine::SaveJournal journal(root, {"Title"});
        journal.RecordBefore({package.string()});
        const engine::SaveOptions options{&journal, false};
        engine::SaveHooks hooks(package.string(), options);
        archive::UpdateHooks update = hooks.Hooks();
        // The hooks of a save, with the process ending right after the journal has its outcome.
        update.BeforeReplace = [produce = update.BeforeReplace](int fd) {
            produce(fd);
            raise(SIGKILL);
        };
        engine::ScratchFolder scratch;
        engine::WriteScratchFile(scratch.Path(), "docProps/core.xml", "<never/>");
        archive::UpdatePackage(package, scratch.Path(), update);
        return Report{};
    });
    ASSERT_EQ(killed.signal, SIGKILL) << killed.error;
    EXPECT_EQ(ReadFileBytes(package), original);

    std::vector<engine::JournalRun> runs = engine::ReadJournal(root);
    ASSERT_EQ(runs.size(), 1u);
    const engine::JournalEntry* entry = runs[0].Find(engine::CanonicalPath(package.string()));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->Produced);
    EXPECT_FALSE(entry->Replaced);
    const engine::UndoOutcome ignored = engine::UndoSave(runs, package.string(), {});
    EXPECT_FALSE(ignored.ok);
    EXPECT_TRUE(ignored.NothingToUndo) << ignored.message;
    EXPECT_EQ(ReadFileBytes(package), original);

    // A later save is undone to the old package past the entry of the killed one.
    SaveTitle(package, root, "After the kill");
    runs = engine::ReadJournal(root);
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_TRUE(engine::UndoSave(runs, package.string(), {}).ok);
    EXPECT_EQ(TitleOf(package), testsupport::kPropertyDeckTitle);
    for (const auto& item : fs::directory_iterator(dir.Path())) {
        EXPECT_TRUE(item.path() == package || item.path() == root) << item.path(); // no temporary left
    }
}

// An undo killed at a random moment leaves the package as the save made it or as the undo makes
// it, always readable; the undo run again then finishes the job (or finds it done), and the
// package holds the title from before the save.
TEST(JournalKill, UndoKilledAtAnyMomentLosesNothing)
{
    testsupport::TempDir dir;
    const fs::path package = dir / "deck.pptx";
    const fs::path root = dir / "journal";
    testsupport::PropertyDeck().WriteTo(package);

    std::string before = TitleOf(package);
    SaveTitle(package, root, "Calibration");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(
        RunAndKill([&] { (void)engine::UndoSave(engine::ReadJournal(root), package.string(), {}); }, -1));
    const long span = std::max<long>(
        1000, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
                      .count() *
                  13 / 10);
    ASSERT_EQ(TitleOf(package), before);

    std::mt19937 random(20261208);
    for (int kill = 0; kill < 30; ++kill) {
        SCOPED_TRACE(kill);
        const std::string title = "Kill " + std::to_string(kill);
        SaveTitle(package, root, title);
        const long delay = std::uniform_int_distribution<long>(0, span)(random);
        RunAndKill([&] { (void)engine::UndoSave(engine::ReadJournal(root), package.string(), {}); }, delay);
        const std::string now = TitleOf(package);
        EXPECT_TRUE(now == title || now == before) << now;
        const engine::UndoOutcome again = engine::UndoSave(engine::ReadJournal(root), package.string(), {});
        if (now == title) {
            EXPECT_TRUE(again.ok) << again.message;
        } else {
            // Finished by the killed undo (then nothing is left of this save) or only not marked.
            EXPECT_TRUE(again.ok || !again.message.empty()) << again.message;
        }
        ASSERT_EQ(TitleOf(package), before);
    }
}

} // namespace
} // namespace reliability
