// Save runs that overlap in time on one package, as two processes given overlapping lists make
// them: the journal records what really replaced the package, and undo steps back through the
// package's saves in the order they happened, whatever the order of the runs' ids.
#include "archive/TArchiveReader.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/SaveJournal.h"
#include "engine/journal/UndoSave.h"
#include "engine/journal/UndoablePackages.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace engine {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

std::vector<std::pair<std::string, std::string>> Contents(const fs::path& package)
{
    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.OpenDirectory();
    std::vector<std::pair<std::string, std::string>> contents;
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        contents.emplace_back(reader.Member(i).Name, reader.ExtractToMemory(reader.Member(i), 1 << 26));
    }
    return contents;
}

DocumentRecord Edited(const fs::path& package, std::size_t property, const std::string& text)
{
    DocumentRecord record;
    record.FullPath = package.string();
    EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
    record.Value(property) = text;
    record.SetChanged(property, true);
    record.Modified = true;
    return record;
}

// A journal whose save runs a given step just after the new package was produced, before it
// replaces the old one: another process's save at the worst moment.
class InterruptedRecorder : public SaveRecorder
{
public:
    InterruptedRecorder(SaveJournal& journal, std::function<void()> meanwhile)
        : m_journal(journal)
        , m_meanwhile(std::move(meanwhile))
    {}

    RecordedPackage EnsureEntry(const std::string& package) override
    {
        return m_journal.EnsureEntry(package);
    }

    void RecordProduced(const std::string& key, const ProducedFacts& produced) override
    {
        m_journal.RecordProduced(key, produced);
        m_meanwhile();
    }

    void RecordReplaced(const std::string& key) override { m_journal.RecordReplaced(key); }

private:
    SaveJournal& m_journal;
    std::function<void()> m_meanwhile;
};

class OverlappingRuns : public testing::Test
{
protected:
    void SetUp() override { testsupport::PropertyDeck().WriteTo(m_package); }

    TempDir m_dir;
    fs::path m_root = m_dir / "journal";
    fs::path m_package = m_dir / "deck.pptx";
};

// The run that started later replaced the package first; the earlier run's save landed on top.
// Undo takes back the save the package holds first, then the one beneath, back to the original.
TEST_F(OverlappingRuns, UndoFollowsTheOrderOfTheSavesNotOfTheRuns)
{
    const auto original = Contents(m_package);
    SaveJournal earlier(m_root, {"Title"});
    SaveJournal later(m_root, {"Subject"});
    ASSERT_LT(earlier.Id(), later.Id());
    earlier.RecordBefore({m_package.string()});
    later.RecordBefore({m_package.string()});
    DocumentRecord title = Edited(m_package, 0, "From the earlier run");
    DocumentRecord subject = Edited(m_package, 1, "From the later run");

    ASSERT_TRUE(SaveDocument(subject, SaveOptions{&later}).ok) << subject.LastError;
    const auto afterLater = Contents(m_package);
    ASSERT_TRUE(SaveDocument(title, SaveOptions{&earlier}).ok) << title.LastError;
    later.Finish();
    earlier.Finish();

    const UndoOutcome first = UndoSave(ReadJournal(m_root), m_package.string(), {});
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.RunId, earlier.Id());
    EXPECT_EQ(Contents(m_package), afterLater);
    const UndoOutcome second = UndoSave(ReadJournal(m_root), m_package.string(), {});
    ASSERT_TRUE(second.ok) << second.message;
    EXPECT_EQ(second.RunId, later.Id());
    EXPECT_EQ(Contents(m_package), original);
    EXPECT_TRUE(UndoSave(ReadJournal(m_root), m_package.string(), {}).NothingToUndo);
    for (const JournalRun& run : ReadJournal(m_root)) {
        EXPECT_EQ(UndoneState(run), RunUndone::Wholly) << run.Id;
    }
}

// A save refused because another run replaced the package under it is not counted as a save of
// its run: the run has nothing to undo, and undo restores the other run's save.
TEST_F(OverlappingRuns, ARefusedSaveIsNotASaveOfItsRun)
{
    const auto original = Contents(m_package);
    SaveJournal refused(m_root, {"Title"});
    refused.RecordBefore({m_package.string()});
    DocumentRecord title = Edited(m_package, 0, "Refused");
    std::string otherId;
    InterruptedRecorder recorder(refused, [&] {
        SaveJournal other(m_root, {"Subject"});
        other.RecordBefore({m_package.string()});
        DocumentRecord subject = Edited(m_package, 1, "Landed");
        ASSERT_TRUE(SaveDocument(subject, SaveOptions{&other}).ok) << subject.LastError;
        other.Finish();
        otherId = other.Id();
    });
    const DocumentOutcome outcome = SaveDocument(title, SaveOptions{&recorder});
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.message.find("changed by someone else"), std::string::npos) << outcome.message;
    const auto landed = Contents(m_package);
    refused.Finish();

    const std::vector<JournalRun> runs = ReadJournal(m_root);
    ASSERT_EQ(runs.size(), 2u);
    const JournalRun& refusedRun = runs[0].Id == refused.Id() ? runs[0] : runs[1];
    EXPECT_EQ(refusedRun.ProducedCount(), 0u);
    EXPECT_TRUE(UndoablePackages(runs, refused.Id(), "").empty());
    EXPECT_FALSE(UndoSave(runs, m_package.string(), {refused.Id()}).ok);
    EXPECT_EQ(Contents(m_package), landed);

    const UndoOutcome undo = UndoSave(ReadJournal(m_root), m_package.string(), {});
    ASSERT_TRUE(undo.ok) << undo.message;
    EXPECT_EQ(undo.RunId, otherId);
    EXPECT_EQ(Contents(m_package), original);
}

} // namespace
} // namespace engine
