// The loaded texts beside the edited ones, and the journal that lets a save be undone.
#include "engine/journal/SaveJournal.h"

#include "PackageFixtures.h"
#include "archive/TArchiveReader.h"
#include "engine/record/CustomProperties.h"
#include "engine/journal/JournalStore.h"
#include "engine/package/PackageFingerprint.h"
#include "engine/package/Sha256.h"
#include "engine/journal/UndoSave.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "engine/record/PendingChanges.h"
#include "support/OfficePackages.h"
#include "support/PackageBuilder.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <sys/stat.h>

namespace engine {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

const std::string kCore =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<cp:coreProperties "
    "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\">"
    "<dc:title>  two  spaces\n</dc:title><dc:creator>Ann</dc:creator>"
    "<dcterms:created>yesterday-ish</dcterms:created></cp:coreProperties>";
const std::string kApp = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                         "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "extended-properties\"><Company>Acme</Company></Properties>";

// Member names in archive order with their uncompressed bytes.
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

DocumentRecord Loaded(const fs::path& package)
{
    DocumentRecord record;
    record.FullPath = package.string();
    EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
    return record;
}

void Edit(DocumentRecord& record, std::size_t p, const std::string& text)
{
    record.Value(p) = text;
    record.SetChanged(p, true);
    record.Modified = true;
}

// A deck whose custom part holds three properties of different kinds.
testsupport::PackageBuilder CustomDeck()
{
    return testsupport::Deck(
        testsupport::CoreXml("<dc:title>Custom</dc:title>"), testsupport::AppXml("<Company>Acme</Company>"),
        testsupport::CustomXml(testsupport::CustomProperty(2, "Client", "<vt:lpwstr>Northwind</vt:lpwstr>") +
                               testsupport::CustomProperty(3, "Pages", "<vt:i4>12</vt:i4>") +
                               testsupport::CustomProperty(4, "Approved", "<vt:bool>false</vt:bool>")));
}

struct JournaledSave
{
    fs::path Root;
    JournalLimits Limits;

    DocumentOutcome Save(DocumentRecord& record, bool keepMtime = false) const
    {
        SaveJournal journal(Root, {"Title"}, Limits);
        journal.RecordBefore({record.FullPath});
        const DocumentOutcome outcome = SaveDocument(record, SaveOptions{&journal, keepMtime});
        journal.Finish();
        return outcome;
    }
};

TEST(PendingChanges, OldTextIsExactlyAsLoadedAndSavedTextBecomesTheBaseline)
{
    TempDir dir;
    testsupport::PackageBuilder::Presentation(kCore, kApp).WriteTo(dir / "a.pptx");
    DocumentRecord record = Loaded(dir / "a.pptx");
    Edit(record, 0, "new title");
    Edit(record, 8, "2020-01-02 03:04:05");
    Edit(record, 15, "Acme"); // flagged with an equal text: still what a save writes

    const std::vector<PendingChange> changes = PendingChanges(record);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].Property, 0u);
    EXPECT_EQ(changes[0].Old, "  two  spaces\n");
    EXPECT_EQ(changes[0].New, "new title");
    EXPECT_EQ(changes[1].Old, "yesterday-ish"); // a stored text that is no date, as it was read
    EXPECT_EQ(changes[2].Old, "Acme");

    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_TRUE(PendingChanges(record).empty());
    EXPECT_EQ(record.LoadedValues[0], "new title");
    Edit(record, 0, "third");
    EXPECT_EQ(PendingChanges(record).at(0).Old, "new title"); // nothing reread from disk
}

TEST(PendingChanges, DroppingAChangeRestoresTextAndFlags)
{
    TempDir dir;
    testsupport::PackageBuilder::Presentation(kCore, kApp).WriteTo(dir / "a.pptx");
    DocumentRecord record = Loaded(dir / "a.pptx");
    Edit(record, 0, "x");
    Edit(record, 2, "y");
    DropChange(record, 0);
    EXPECT_EQ(record.Value(0), "  two  spaces\n");
    EXPECT_FALSE(record.Changed(0));
    EXPECT_TRUE(record.Modified);
    DropChange(record, 2);
    EXPECT_EQ(record.Value(2), "Ann");
    EXPECT_FALSE(record.Modified);
}

TEST(PendingChanges, CustomChangesAreListedWithTheirLoadedValuesAndCanBeDropped)
{
    TempDir dir;
    CustomDeck().WriteTo(dir / "c.pptx");
    DocumentRecord record = Loaded(dir / "c.pptx");
    ASSERT_GE(record.Custom.Items.size(), 2u);
    const CustomProperties loaded = record.Custom;
    const CustomProperty first = loaded.Items[0];
    const CustomProperty second = loaded.Items[1];

    SetCustomProperty(record, first.Name, CustomKind::Text, "  edited\n");
    SetCustomProperty(record, "Added", CustomKind::Int, "7");
    ClearCustomProperty(record, second.Name);
    ClearCustomProperty(record, "NeverThere"); // nothing to list: nothing would change
    Edit(record, 0, "T");

    const std::vector<PendingChange> changes = PendingChanges(record);
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(ChangeName(changes[0]), "Title");
    EXPECT_EQ(ChangeName(changes[1]), first.Name + " (custom)");
    EXPECT_EQ(changes[1].Old, first.Value);
    EXPECT_EQ(changes[1].New, "  edited\n");
    EXPECT_EQ(changes[2].CustomName, "Added");
    EXPECT_EQ(changes[2].Old, "");
    EXPECT_EQ(changes[3].CustomName, second.Name);
    EXPECT_EQ(changes[3].Old, second.Value);
    EXPECT_EQ(changes[3].New, "");

    for (const PendingChange& change : changes) {
        DropChange(record, change);
    }
    EXPECT_FALSE(record.Modified);
    EXPECT_FALSE(HasCustomChanges(record)) << record.Custom.Removed.size();
    EXPECT_EQ(record.Custom.Items, loaded.Items); // the cleared one back in its place
    EXPECT_TRUE(PendingChanges(record).empty());
}

// A package with stored members past the kernel-copy thresholds and a core part whose compressed
// text outgrows the output buffer, so that the hash follows every unusual write path.
void WriteLargePackage(const fs::path& path)
{
    std::mt19937 random(7);
    std::string noise(700 * 1024, ' ');
    for (char& c : noise) {
        c = static_cast<char>('a' + random() % 26);
    }
    std::string core = kCore;
    core.insert(core.find("</cp:coreProperties>"), "<dc:description>" + noise + "</dc:description>");
    testsupport::PackageBuilder builder = testsupport::PackageBuilder::Presentation(core, kApp);
    builder.Add("ppt/media/image1.bin", noise.substr(0, 300 * 1024),
                testsupport::PackageBuilder::Method::Stored);
    // Several output buffers long, copied raw through the buffer while it is hashed.
    builder.Add("ppt/media/image2.bin", noise + noise + noise, testsupport::PackageBuilder::Method::Stored);
    builder.WriteTo(path);
}

class UndoTest : public testing::Test
{
protected:
    TempDir m_dir;
    JournaledSave m_journal{m_dir / "journal", {}};

    fs::path Write(const std::string& name, const testsupport::PackageBuilder& deck)
    {
        deck.WriteTo(m_dir / name);
        return m_dir / name;
    }
};

TEST_F(UndoTest, SetThenUndoGivesBackMembersOrderAndBytes)
{
    WriteLargePackage(m_dir / "large.pptx");
    // Created parts (no core part; no app part) must be removed and unregistered again.
    for (const fs::path& package :
         {Write("props.pptx", testsupport::PropertyDeck()),
          Write("no_core.pptx", testsupport::Deck("", kApp, "")),
          Write("core_only.pptx", testsupport::CoreOnlyDeck()), m_dir / "large.pptx"}) {
        SCOPED_TRACE(package.filename().string());
        const auto before = Contents(package);
        DocumentRecord record = Loaded(package);
        Edit(record, 0, "Changed");
        Edit(record, 16, "Boss");
        ASSERT_TRUE(m_journal.Save(record).ok) << record.LastError;
        ASSERT_NE(Contents(package), before);

        const std::vector<JournalRun> runs = ReadJournal(m_journal.Root);
        const JournalEntry* entry = runs.back().Find(CanonicalPath(package.string()));
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(entry->Replaced);
        EXPECT_EQ(entry->Made.Digest, DirectoryDigest(package)); // taken before the rename, equal to a reread
        EXPECT_EQ(entry->Made.Size, fs::file_size(package));

        const DocumentOutcome undo = UndoSave(runs, package.string(), {});
        ASSERT_TRUE(undo.ok) << undo.message;
        EXPECT_EQ(Contents(package), before);
        EXPECT_FALSE(UndoSave(ReadJournal(m_journal.Root), package.string(), {}).ok); // already undone
    }
}

TEST_F(UndoTest, CustomPartsAreJournaledWhetherEditedOrCreated)
{
    // One package edits its custom part; the other gets one created and registered.
    for (const fs::path& package :
         {Write("custom.pptx", CustomDeck()), Write("plain.pptx", testsupport::PlainDeck())}) {
        SCOPED_TRACE(package.filename().string());
        const auto before = Contents(package);
        DocumentRecord record = Loaded(package);
        SetCustomProperty(record, "Reviewed", CustomKind::Bool, "true");
        ASSERT_TRUE(m_journal.Save(record).ok) << record.LastError;
        ASSERT_NE(Contents(package), before);

        const DocumentOutcome undo = UndoSave(ReadJournal(m_journal.Root), package.string(), {});
        ASSERT_TRUE(undo.ok) << undo.message;
        EXPECT_EQ(Contents(package), before);
    }
}

TEST_F(UndoTest, OutsideChangeIsRefusedAndLosesNothing)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "Ours");
    ASSERT_TRUE(m_journal.Save(record).ok);
    DocumentRecord other = Loaded(package);
    Edit(other, 0, "Theirs");
    ASSERT_TRUE(SaveDocument(other).ok); // not journaled: someone else's change
    const std::string changed = ReadFileBytes(package);

    const DocumentOutcome undo = UndoSave(ReadJournal(m_journal.Root), package.string(), {});
    EXPECT_FALSE(undo.ok);
    EXPECT_NE(undo.message.find("changed since"), std::string::npos) << undo.message;
    EXPECT_EQ(ReadFileBytes(package), changed);
}

// A change that keeps the package's size and its directory (a byte of a member's data) is still
// seen: the modification time is part of what the journal recorded.
TEST_F(UndoTest, ChangeKeepingTheSizeIsRefused)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "Ours");
    ASSERT_TRUE(m_journal.Save(record).ok);
    std::string bytes = ReadFileBytes(package);
    bytes[40] = static_cast<char>(bytes[40] ^ 0x01); // inside the first member's data
    const std::string directory = DirectoryDigest(package);
    testsupport::WriteFileBytes(package, bytes);
    ASSERT_EQ(DirectoryDigest(package), directory);

    const DocumentOutcome undo = UndoSave(ReadJournal(m_journal.Root), package.string(), {});
    EXPECT_FALSE(undo.ok);
    EXPECT_NE(undo.message.find("changed since"), std::string::npos) << undo.message;
    EXPECT_EQ(ReadFileBytes(package), bytes);
}

// Runs journaled with the SHA-256 of the whole package (by earlier versions) stay undoable, and a
// package changed since such a run is refused.
TEST_F(UndoTest, RunsRecordedWithAWholeFileDigestStayUndoable)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    const auto before = Contents(package);
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "Ours");
    ASSERT_TRUE(m_journal.Save(record).ok);
    // The outcomes as an earlier version wrote them: size, time and the whole file's digest.
    const std::vector<JournalRun> runs = ReadJournal(m_journal.Root);
    JournalEntry old = *runs.back().Find(CanonicalPath(package.string()));
    old.Made.Digest = FileSha256(package);
    std::string outcomes;
    PutOutcomes(outcomes, old);
    testsupport::WriteFileBytes(runs.back().Folder / "outcomes", outcomes);

    const std::string saved = ReadFileBytes(package);
    testsupport::WriteFileBytes(package, saved + "x"); // changed: refused
    EXPECT_FALSE(UndoSave(ReadJournal(m_journal.Root), package.string(), {}).ok);
    testsupport::WriteFileBytes(package, saved);
    const DocumentOutcome undo = UndoSave(ReadJournal(m_journal.Root), package.string(), {});
    ASSERT_TRUE(undo.ok) << undo.message;
    EXPECT_EQ(Contents(package), before);
}

// The packages of a run are read on several threads, but recorded in the order given; one that
// cannot be read is left to its own save.
TEST_F(UndoTest, ARunRecordsItsReadablePackagesInOrder)
{
    std::vector<std::string> packages;
    std::vector<DocumentRecord> records;
    for (int i = 0; i < 9; ++i) {
        const fs::path package = m_dir / ("p" + std::to_string(i) + ".pptx");
        testsupport::PropertyDeck().WriteTo(package);
        packages.push_back(package.string());
        records.push_back(Loaded(package));
        if (i == 3) {
            packages.push_back((m_dir / "gone.pptx").string());
            testsupport::WriteFileBytes(m_dir / "bad.pptx", "not a package");
            packages.push_back((m_dir / "bad.pptx").string());
        }
    }
    {
        SaveJournal journal(m_journal.Root, {"Title"}, m_journal.Limits);
        journal.RecordBefore(packages);
        for (DocumentRecord& record : records) {
            Edit(record, 0, "Run of nine");
            ASSERT_TRUE(SaveDocument(record, SaveOptions{&journal, false}).ok) << record.LastError;
        }
        journal.Finish();
    }
    const std::vector<JournalRun> runs = ReadJournal(m_journal.Root);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].Entries.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(runs[0].Entries[i].Package, CanonicalPath(records[i].FullPath)) << i;
        EXPECT_EQ(runs[0].Entries[i].Members.size(), 5u) << i;
        EXPECT_TRUE(runs[0].Entries[i].Replaced) << i;
    }
    ASSERT_TRUE(UndoSave(runs, records[8].FullPath, {}).ok);
    EXPECT_EQ(Loaded(records[8].FullPath).Value(0), testsupport::kPropertyDeckTitle);
}

TEST_F(UndoTest, UndoOfAnEarlierRunAndOfAPackageNeverSaved)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    const fs::path untouched = Write("plain.pptx", testsupport::PlainDeck());
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "First");
    ASSERT_TRUE(m_journal.Save(record).ok);
    const auto afterFirst = Contents(package);
    Edit(record, 0, "Second");
    ASSERT_TRUE(m_journal.Save(record).ok);
    const std::vector<JournalRun> runs = ReadJournal(m_journal.Root);
    ASSERT_EQ(runs.size(), 2u);

    EXPECT_FALSE(UndoSave(runs, package.string(), {runs[0].Id, false}).ok); // it no longer holds run 1's save
    ASSERT_TRUE(UndoSave(runs, package.string(), {runs[1].Id, false}).ok);
    EXPECT_EQ(Contents(package), afterFirst);
    EXPECT_FALSE(UndoSave(runs, untouched.string(), {}).ok);
}

TEST_F(UndoTest, KeepModificationTimeForSaveAndUndo)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    const timespec old[2] = {{0, UTIME_OMIT}, {1'000'000'000, 123'456'789}};
    ASSERT_EQ(utimensat(AT_FDCWD, package.c_str(), old, 0), 0);
    const auto mtime = [&] {
        struct stat st
        {
        };
        stat(package.c_str(), &st);
        return std::make_pair(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    };
    const auto before = mtime();
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "Kept");
    ASSERT_TRUE(m_journal.Save(record, true).ok) << record.LastError;
    EXPECT_EQ(mtime(), before);
    EXPECT_EQ(Loaded(package).Value(0), "Kept");
    ASSERT_TRUE(UndoSave(ReadJournal(m_journal.Root), package.string(), {"", true}).ok);
    EXPECT_EQ(mtime(), before);

    Edit(record, 0, "Moved");
    ASSERT_TRUE(m_journal.Save(record).ok);
    EXPECT_NE(mtime(), before);
}

TEST_F(UndoTest, JournalIsBoundedAndPurged)
{
    const fs::path a = Write("props.pptx", testsupport::PropertyDeck());
    const fs::path b = Write("plain.pptx", testsupport::PlainDeck());
    m_journal.Limits.MaxRuns = 3;
    DocumentRecord ra = Loaded(a);
    DocumentRecord rb = Loaded(b);
    for (int i = 0; i < 5; ++i) {
        Edit(ra, 0, "Secret title " + std::to_string(i));
        ASSERT_TRUE(m_journal.Save(ra).ok);
    }
    std::vector<JournalRun> runs = ReadJournal(m_journal.Root);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_NE(ReadFileBytes(runs[0].Folder / "entries").find("Secret title 1"), std::string::npos);

    // A size bound keeps only the newest run when every run is larger than half of it.
    m_journal.Limits = {100, runs.back().Bytes + 1};
    Edit(rb, 0, "B");
    ASSERT_TRUE(m_journal.Save(rb).ok);
    runs = ReadJournal(m_journal.Root);
    ASSERT_EQ(runs.size(), 1u);

    Edit(ra, 0, "Secret title 5");
    m_journal.Limits = {};
    ASSERT_TRUE(m_journal.Save(ra).ok);
    EXPECT_EQ(PurgeJournal(m_journal.Root, {a.string()}), 1u);
    runs = ReadJournal(m_journal.Root);
    ASSERT_EQ(runs.size(), 1u); // the run of a alone went with its entry
    EXPECT_EQ(runs[0].Find(CanonicalPath(a.string())), nullptr);
    EXPECT_TRUE(UndoSave(runs, b.string(), {}).ok);
    PurgeJournal(m_journal.Root, {});
    EXPECT_TRUE(ReadJournal(m_journal.Root).empty());
}

TEST_F(UndoTest, UnwritableJournalFailsBeforeThePackageIsTouched)
{
    const fs::path package = Write("props.pptx", testsupport::PropertyDeck());
    const std::string original = ReadFileBytes(package);
    testsupport::WriteFileBytes(m_dir / "file", "not a folder");
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "Never");
    try {
        JournaledSave{m_dir / "file" / "journal", {}}.Save(record);
        FAIL() << "the journal was written below a file";
    } catch (const EJournalError& e) {
        EXPECT_NE(std::string(e.what()).find((m_dir / "file" / "journal").string()), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(package), original);
    EXPECT_TRUE(record.Modified);
}

TEST_F(UndoTest, JournalFoldersAreTheOwnersOnly)
{
    const fs::path package = Write("plain.pptx", testsupport::PlainDeck());
    DocumentRecord record = Loaded(package);
    Edit(record, 0, "T");
    ASSERT_TRUE(m_journal.Save(record).ok);
    EXPECT_EQ(fs::status(m_journal.Root).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(ReadJournal(m_journal.Root).at(0).Folder).permissions(), fs::perms::owner_all);
}

} // namespace
} // namespace engine
