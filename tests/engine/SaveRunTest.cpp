#include "engine/runs/SaveRun.h"

#include "engine/package/LoadDocument.h"
#include "engine/base/OrderedPool.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <thread>

namespace engine {
namespace {

namespace fs = std::filesystem;
using testsupport::AppXml;
using testsupport::CoreXml;
using testsupport::PackageBuilder;

class SaveRunTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(m_scratch);
        if (const char* old = std::getenv("TMPDIR")) {
            m_oldTmpDir = old;
        }
        setenv("TMPDIR", m_scratch.c_str(), 1);
    }

    void TearDown() override
    {
        m_oldTmpDir.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", m_oldTmpDir.c_str(), 1);
    }

    // A loaded record of a new package, with property p set to value.
    std::unique_ptr<DocumentRecord> Edited(const std::string& name, std::size_t p, const std::string& value)
    {
        const fs::path path = m_dir / name;
        if (!fs::exists(path)) {
            PackageBuilder::Presentation(CoreXml("<dc:title>Old</dc:title>"), AppXml("")).WriteTo(path);
        }
        auto record = std::make_unique<DocumentRecord>();
        record->FullPath = path.string();
        EXPECT_TRUE(LoadDocument(*record).ok) << record->LastError;
        record->Value(p) = value;
        record->SetChanged(p, true);
        record->Modified = true;
        return record;
    }

    std::string Loaded(const std::string& name, std::size_t p) const
    {
        DocumentRecord record;
        record.FullPath = (m_dir / name).string();
        EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
        return record.Value(p);
    }

    testsupport::TempDir m_dir;
    fs::path m_scratch = m_dir / "scratch";
    std::string m_oldTmpDir;
};

// Saves without a journal (the journal has its own tests) on the given number of workers.
SaveRunReport SaveWithoutJournal(const std::vector<DocumentRecord*>& records,
                                 unsigned workers,
                                 const Progress& progress,
                                 const std::function<void(std::size_t, const SaveResult&)>& finished = {})
{
    SaveRunSettings settings;
    settings.Journal = false;
    settings.Workers = workers;
    return SaveRun(records, settings, progress, finished);
}

// With the default pool, one worker, two, and more workers than packages. Rows 0 and 2 name one
// package, loaded before either was saved: one save writes both changes and both rows are read again.
TEST_F(SaveRunTest, OutcomesComeInOrderRowsOfOnePackageAreSavedOnceAndScratchIsGone)
{
    for (const unsigned workers : {0U, 1U, 2U, 9U}) {
        const std::string prefix = std::to_string(workers) + "-";
        std::vector<std::unique_ptr<DocumentRecord>> owned;
        owned.push_back(Edited(prefix + "a.pptx", 0, "A title"));
        owned.push_back(Edited(prefix + "b.pptx", 0, "B title"));
        owned.push_back(Edited(prefix + "a.pptx", 1, "A subject"));
        owned.push_back(Edited(prefix + "c.pptx", 0, "C title"));
        owned.push_back(Edited(prefix + "d.pptx", 0, "D title"));
        owned.push_back(std::make_unique<DocumentRecord>()); // an unmodified row of b.pptx
        owned.back()->FullPath = (m_dir / (prefix + "b.pptx")).string();
        owned.push_back(std::make_unique<DocumentRecord>()); // an unmodified row of another package
        owned.back()->FullPath = (m_dir / (prefix + "e.pptx")).string();
        fs::permissions(m_dir / (prefix + "c.pptx"), fs::perms::owner_write, fs::perm_options::remove);
        std::vector<DocumentRecord*> records;
        for (const auto& record : owned) {
            records.push_back(record.get());
        }
        const auto mtimeBefore = fs::last_write_time(m_dir / (prefix + "a.pptx"));

        std::vector<std::size_t> order;
        std::vector<SaveState> states;
        const SaveRunReport report =
            SaveWithoutJournal(records, workers, Progress{}, [&](std::size_t i, const SaveResult& result) {
                order.push_back(i);
                states.push_back(result.State);
                EXPECT_EQ(result.State == SaveState::Failed, !records[i]->LastError.empty()) << i;
            });
        EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6})) << workers;
        EXPECT_EQ(states, (std::vector<SaveState>{SaveState::Saved, SaveState::Saved, SaveState::Saved,
                                                  SaveState::Failed, SaveState::Saved, SaveState::Saved,
                                                  SaveState::Unchanged}))
            << workers;
        EXPECT_EQ(records[5]->Value(0), "B title") << "the other row of b.pptx is read again";
        EXPECT_EQ(report.Saved, 3U);
        EXPECT_EQ(report.Failed, 1U);
        EXPECT_EQ(report.Results[0].RecordsOfPackage, 2U);
        EXPECT_FALSE(report.Results[2].FirstOfPackage);
        EXPECT_EQ(Loaded(prefix + "a.pptx", 0), "A title") << workers;
        EXPECT_EQ(Loaded(prefix + "a.pptx", 1), "A subject") << workers;
        EXPECT_EQ(Loaded(prefix + "d.pptx", 0), "D title") << workers;
        // Both rows of a.pptx show the package as saved, with nothing pending.
        for (const std::size_t i : {0U, 2U}) {
            EXPECT_FALSE(records[i]->Modified) << i;
            EXPECT_EQ(records[i]->Value(0), "A title") << i;
            EXPECT_EQ(records[i]->Value(1), "A subject") << i;
            EXPECT_EQ(records[i]->FileSize, std::to_string(fs::file_size(m_dir / (prefix + "a.pptx"))));
        }
        EXPECT_NE(fs::last_write_time(m_dir / (prefix + "a.pptx")), mtimeBefore);
        EXPECT_TRUE(records[3]->Modified) << workers;
        EXPECT_TRUE(fs::is_empty(m_scratch)) << "a worker's scratch folder outlived the run";
    }
}

// The same package by another name (a symbolic link, a path through "..") is one package; where the
// rows disagree, the later row wins.
TEST_F(SaveRunTest, OnePackageByThreeNamesIsSavedOnceAndTheLaterRowWins)
{
    auto first = Edited("a.pptx", 0, "First");
    fs::create_symlink(m_dir / "a.pptx", m_dir / "link.pptx");
    fs::create_directory(m_dir / "sub");
    auto second = std::make_unique<DocumentRecord>(*first);
    second->FullPath = (m_dir / "link.pptx").string();
    second->Value(0) = "Second";
    auto third = std::make_unique<DocumentRecord>(*first);
    third->FullPath = (m_dir / "sub" / ".." / "a.pptx").string();
    third->SetChanged(0, false);
    third->Value(2) = "Creator";
    third->SetChanged(2, true);

    struct stat before
    {
    };

    ASSERT_EQ(stat((m_dir / "a.pptx").c_str(), &before), 0);

    const SaveRunReport report = SaveWithoutJournal({first.get(), second.get(), third.get()}, 0, Progress{});
    EXPECT_EQ(report.Saved, 1U);
    EXPECT_EQ(Loaded("a.pptx", 0), "Second");
    EXPECT_EQ(Loaded("a.pptx", 2), "Creator");
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.pptx"));
    for (const DocumentRecord* record : {first.get(), second.get(), third.get()}) {
        EXPECT_EQ(record->Value(0), "Second");
        EXPECT_EQ(record->Value(2), "Creator");
        EXPECT_FALSE(record->Modified);
    }
}

// A save replaces the file under one name with a new file, which ends a hard link: each name is
// a package of its own and is saved with its own row's change, none reported saved unwritten.
TEST_F(SaveRunTest, HardLinksAreSavedEachUnderItsOwnName)
{
    auto first = Edited("a.pptx", 0, "First");
    fs::create_hard_link(m_dir / "a.pptx", m_dir / "b.pptx");
    auto second = Edited("b.pptx", 2, "Creator");
    const SaveRunReport report = SaveWithoutJournal({first.get(), second.get()}, 0, Progress{});
    EXPECT_EQ(report.Saved, 2U);
    EXPECT_EQ(Loaded("a.pptx", 0), "First");
    EXPECT_EQ(Loaded("b.pptx", 2), "Creator");
    EXPECT_EQ(Loaded("b.pptx", 0), "Old");
    EXPECT_FALSE(first->Modified);
    EXPECT_FALSE(second->Modified);
}

TEST_F(SaveRunTest, CancelledRunSavesNothingNotYetStartedAndSaysSo)
{
    auto record = Edited("a.pptx", 0, "New");
    std::vector<DocumentRecord*> records{record.get()};
    std::atomic<bool> cancel = true;
    Progress progress;
    progress.CancelRequested = &cancel;
    std::vector<SaveResult> results;
    const SaveRunReport report = SaveWithoutJournal(
        records, 0, progress, [&](std::size_t, const SaveResult& result) { results.push_back(result); });
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].State, SaveState::NotSaved);
    EXPECT_TRUE(report.Cancelled);
    EXPECT_EQ(Loaded("a.pptx", 0), "Old");
    EXPECT_TRUE(record->Modified);
}

// Cancelled after the first package: it is finished, the rest are left as they are.
TEST_F(SaveRunTest, CancelDuringARunFinishesThePackageInHand)
{
    std::vector<std::unique_ptr<DocumentRecord>> owned;
    for (const char* name : {"a.pptx", "b.pptx", "c.pptx"}) {
        owned.push_back(Edited(name, 0, "New"));
    }
    std::vector<DocumentRecord*> records{owned[0].get(), owned[1].get(), owned[2].get()};
    std::atomic<bool> cancel = false;
    Progress progress;
    progress.CancelRequested = &cancel;
    progress.OnProgress = [&](std::size_t done, std::size_t, const std::string&) {
        if (done == 1) {
            cancel = true;
        }
    };
    const SaveRunReport report = SaveWithoutJournal(records, 1, progress);
    EXPECT_EQ(report.Saved, 1U);
    EXPECT_EQ(report.NotSaved, 2U);
    EXPECT_EQ(Loaded("a.pptx", 0), "New");
    EXPECT_EQ(Loaded("b.pptx", 0), "Old");
    EXPECT_EQ(report.Results[2].Message, kNotSavedCancelled);
    EXPECT_TRUE(owned[2]->Modified);
}

// The pool under saves, loads and rereads: every task handed on once, in order, on the calling
// thread; a cancel lets the tasks in hand finish and hands the rest on as not run.
TEST(OrderedPoolTest, HandsOnInOrderAndStopsAfterTheTasksInHand)
{
    for (const unsigned workers : {1U, 2U, 8U}) {
        SCOPED_TRACE(workers);
        std::vector<int> runs(200, 0);
        std::vector<std::size_t> order;
        const std::thread::id caller = std::this_thread::get_id();
        RunInOrder(
            runs.size(), workers, Progress{},
            [&](std::size_t i, unsigned worker) {
                EXPECT_LT(worker, workers);
                ++runs[i];
            },
            [&](std::size_t i, bool ran) {
                EXPECT_TRUE(ran);
                EXPECT_EQ(std::this_thread::get_id(), caller);
                order.push_back(i);
            });
        EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 200);
        std::vector<std::size_t> expected(200);
        std::iota(expected.begin(), expected.end(), std::size_t{0});
        EXPECT_EQ(order, expected);

        std::atomic<bool> cancel = false;
        Progress progress;
        progress.CancelRequested = &cancel;
        std::atomic<std::size_t> ran = 0;
        std::size_t handed = 0;
        std::size_t notRun = 0;
        bool skippedThenRan = false;
        RunInOrder(
            1000, workers, progress,
            [&](std::size_t, unsigned) {
                ++ran;
                cancel = true;
            },
            [&](std::size_t i, bool didRun) {
                EXPECT_EQ(i, handed++);
                skippedThenRan = skippedThenRan || (notRun > 0 && didRun);
                notRun += didRun ? 0 : 1;
            });
        EXPECT_EQ(handed, 1000U);
        EXPECT_GE(ran.load(), 1U);
        EXPECT_LE(ran.load(), workers) << "each worker finishes at most the task it holds";
        EXPECT_EQ(notRun, 1000U - ran.load());
        EXPECT_FALSE(skippedThenRan);
    }
}

} // namespace
} // namespace engine
