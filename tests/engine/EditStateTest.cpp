#include "engine/journal/UndoablePackages.h"
#include "engine/record/EditState.h"
#include "engine/runs/RowsToSave.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace engine {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTitle = 0;
constexpr std::size_t kRevision = 6;
constexpr std::size_t kCompany = 15;

DocumentRecord Loaded(const std::string& title)
{
    DocumentRecord record;
    record.FullPath = "/decks/" + title + ".pptx";
    record.Value(kTitle) = title;
    MarkLoaded(record);
    return record;
}

CustomChange Client(const std::string& value)
{
    return CustomChange{"Client", CustomKind::Text, value, false};
}

// Modified is never set by hand: every operation leaves it as the flags, the custom edits and the
// mark say.
TEST(EditState, ModifiedFollowsTheFlagsThroughEveryOperation)
{
    DocumentRecord record = Loaded("a");
    EXPECT_FALSE(record.Modified);

    RecordChanges changes;
    changes.Values = {{kTitle, "b"}, {kCompany, "Acme"}};
    changes.Custom = {Client("x")};
    ApplyRecordChanges(record, changes);
    EXPECT_TRUE(record.Modified && record.Changed(kTitle) && record.Changed(kCompany));

    for (const PendingChange& change : PendingChanges(record)) {
        DropChange(record, change);
    }
    EXPECT_FALSE(record.Modified);
    EXPECT_EQ(record.Value(kTitle), "a");
    EXPECT_TRUE(record.Custom.Items.empty());

    // The explicit mark survives a dropped change and ends with the next save or load.
    MarkForSave(record);
    ApplyRecordChanges(record, RecordChanges{{}, {{kTitle, "c"}}, StageRule::RealChangesOnly, {}});
    DropChange(record, kTitle);
    EXPECT_TRUE(record.Modified);
    MarkSaved(record);
    EXPECT_FALSE(record.Modified || record.MarkedForSave);
    MarkForSave(record);
    MarkLoaded(record);
    EXPECT_FALSE(record.Modified || record.MarkedForSave);
}

TEST(EditState, SnapshotPutsBackExactlyWhatItTookAndNothingElse)
{
    DocumentRecord record = Loaded("a");
    ApplyRecordChanges(record, RecordChanges{{}, {{kCompany, "Old Co"}}, StageRule::RealChangesOnly, {}});

    RecordChanges changes;
    changes.Values = {{kTitle, "b"}, {kCompany, ""}};
    changes.Rule = StageRule::FlagEvenIfEqual;
    changes.Custom = {Client("x")};
    const RecordSnapshot before(record, changes.TouchedProperties(), changes.TouchesCustom());
    EXPECT_TRUE(before.SameAs(record));
    ApplyRecordChanges(record, changes);
    record.LastError = "kept"; // not an edit: a restore leaves it
    EXPECT_FALSE(before.SameAs(record));

    before.RestoreTo(record);
    EXPECT_TRUE(before.SameAs(record));
    EXPECT_EQ(record.Value(kTitle), "a");
    EXPECT_FALSE(record.Changed(kTitle));
    EXPECT_EQ(record.Value(kCompany), "Old Co");
    EXPECT_TRUE(record.Changed(kCompany) && record.Modified);
    EXPECT_TRUE(record.Custom.Items.empty());
    EXPECT_EQ(record.LastError, "kept");

    // An edit that changes nothing leaves the record as the snapshot has it.
    const RecordSnapshot same(record, PropertySet().set(kCompany), false);
    ApplyRecordChanges(record, RecordChanges{{}, {{kCompany, "Old Co"}}, StageRule::RealChangesOnly, {}});
    EXPECT_TRUE(same.SameAs(record));
}

TEST(EditState, TouchedPropertiesNameWhatTheEditsReach)
{
    RecordChanges changes;
    changes.Values = {{kRevision, "3"}};
    changes.Drops = {PendingChange{kTitle, "a", "b", {}}};
    EXPECT_EQ(changes.TouchedProperties(), PropertySet().set(kRevision).set(kTitle));
    EXPECT_FALSE(changes.TouchesCustom());
    changes.Drops.push_back(PendingChange{0, "old", "new", "Client"});
    EXPECT_TRUE(changes.TouchesCustom());
    EXPECT_EQ(changes.TouchedProperties().count(), 2U);
}

TEST(EditState, MergeKeepsTheMarkAndTheLaterChanges)
{
    DocumentRecord into = Loaded("a");
    DocumentRecord from = Loaded("a");
    ApplyRecordChanges(into, RecordChanges{{}, {{kTitle, "first"}}, StageRule::RealChangesOnly, {Client("1")}});
    ApplyRecordChanges(from, RecordChanges{{}, {{kTitle, "second"}}, StageRule::RealChangesOnly, {Client("2")}});
    MergeChanges(into, from);
    EXPECT_EQ(into.Value(kTitle), "second");
    ASSERT_NE(FindCustomProperty(into.Custom, "client"), nullptr);
    EXPECT_EQ(FindCustomProperty(into.Custom, "client")->Value, "2");

    DocumentRecord plain = Loaded("a");
    DocumentRecord marked = Loaded("a");
    MarkForSave(marked);
    MergeChanges(plain, marked);
    EXPECT_TRUE(plain.Modified && plain.MarkedForSave);
}

// A save brings every row of a saved package up to date: rows named through a link and repeated
// rows are one package, hard links are not, and a row with changes of its own is saved only when
// chosen.
TEST(RowsToSave, RowsOfOnePackageGoWithTheSavedRow)
{
    const testsupport::TempDir dir;
    for (const char* name : {"a.pptx", "b.pptx", "c.pptx"}) {
        testsupport::WriteFileBytes(dir / name, name);
    }
    fs::create_symlink(dir / "a.pptx", dir / "link-a.pptx");
    fs::create_hard_link(dir / "b.pptx", dir / "hard-b.pptx");

    VectorDocumentList rows;
    for (const char* name : {"a.pptx", "link-a.pptx", "b.pptx", "hard-b.pptx", "c.pptx", "a.pptx"}) {
        rows.AppendRow().FullPath = (dir / name).string();
    }
    ApplyRecordChanges(rows.RecordAt(0), RecordChanges{{}, {{kTitle, "T"}}, StageRule::RealChangesOnly, {}});
    ApplyRecordChanges(rows.RecordAt(2), RecordChanges{{}, {{kTitle, "T"}}, StageRule::RealChangesOnly, {}});
    ApplyRecordChanges(rows.RecordAt(4), RecordChanges{{}, {{kTitle, "T"}}, StageRule::RealChangesOnly, {}});

    const auto chosen = [](std::size_t row) { return row != 4; };
    EXPECT_EQ(RowsToSave(rows, chosen), (std::vector<std::size_t>{0, 1, 2, 5}));
    EXPECT_EQ(RowsToSave(rows, [](std::size_t) { return true; }), (std::vector<std::size_t>{0, 1, 2, 4, 5}));
    EXPECT_TRUE(RowsToSave(rows, [](std::size_t) { return false; }).empty());
}

TEST(UndoablePackages, TheLatestRunWithASaveLeftStepsBackRunByRun)
{
    const auto entry = [](const std::string& package, bool undone) {
        JournalEntry made;
        made.Package = package;
        made.Produced = true;
        made.Undone = undone;
        return made;
    };
    std::vector<JournalRun> runs(3);
    runs[0].Id = "old";
    runs[0].Entries = {entry("/d/a.pptx", false), entry("/e/b.pptx", false)};
    runs[1].Id = "middle";
    runs[1].Entries = {entry("/d/a.pptx", false)};
    runs[2].Id = "undone";
    runs[2].Entries = {entry("/d/a.pptx", true)};

    UndoableRun latest = LatestUndoableRun(runs);
    ASSERT_NE(latest.Run, nullptr);
    EXPECT_EQ(latest.Run->Id, "middle");
    runs[1].Entries[0].Undone = true;
    latest = LatestUndoableRun(runs);
    ASSERT_NE(latest.Run, nullptr);
    EXPECT_EQ(latest.Run->Id, "old");
    EXPECT_EQ(latest.Packages, (std::vector<std::string>{"/d/a.pptx", "/e/b.pptx"}));

    EXPECT_EQ(UndoablePackages(runs, {}, "/d/"), (std::vector<std::string>{"/d/a.pptx"}));
    EXPECT_EQ(UndoablePackages(runs, "old", {}), (std::vector<std::string>{"/d/a.pptx", "/e/b.pptx"}));
    runs[0].Entries[0].Undone = true;
    runs[0].Entries[1].Undone = true;
    EXPECT_EQ(LatestUndoableRun(runs).Run, nullptr);
}

} // namespace
} // namespace engine
