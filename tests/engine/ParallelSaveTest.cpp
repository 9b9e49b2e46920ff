#include "engine/ParallelSave.h"

#include "engine/LoadDocument.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace engine {
namespace {

namespace fs = std::filesystem;
using testsupport::AppXml;
using testsupport::CoreXml;
using testsupport::PackageBuilder;

class ParallelSaveTest : public testing::Test
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

// With the default pool, one worker, two, and more workers than packages.
TEST_F(ParallelSaveTest, OutcomesComeInOrderRowsOfOnePackageFollowEachOtherAndScratchIsGone)
{
    for (const unsigned workers : {0U, 1U, 2U, 9U}) {
        const std::string prefix = std::to_string(workers) + "-";
        std::vector<std::unique_ptr<DocumentRecord>> owned;
        owned.push_back(Edited(prefix + "a.pptx", 0, "A title"));
        owned.push_back(Edited(prefix + "b.pptx", 0, "B title"));
        owned.push_back(Edited(prefix + "a.pptx", 1, "A subject")); // loaded before row 0 was saved
        owned.push_back(Edited(prefix + "c.pptx", 0, "C title"));
        owned.push_back(Edited(prefix + "d.pptx", 0, "D title"));
        fs::permissions(m_dir / (prefix + "c.pptx"), fs::perms::owner_write, fs::perm_options::remove);
        std::vector<DocumentRecord*> records;
        for (const auto& record : owned) {
            records.push_back(record.get());
        }

        std::vector<std::size_t> order;
        std::vector<bool> ok;
        SaveRecords(
            records, Progress{},
            [&](std::size_t i, const DocumentOutcome& outcome) {
                order.push_back(i);
                ok.push_back(outcome.ok);
                EXPECT_EQ(outcome.ok, records[i]->LastError.empty()) << i;
            },
            {}, workers);
        EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4})) << workers;
        EXPECT_EQ(ok, (std::vector<bool>{true, true, true, false, true})) << workers;
        EXPECT_EQ(Loaded(prefix + "a.pptx", 0), "A title") << workers;
        EXPECT_EQ(Loaded(prefix + "a.pptx", 1), "A subject") << workers;
        EXPECT_EQ(Loaded(prefix + "d.pptx", 0), "D title") << workers;
        EXPECT_TRUE(records[3]->Modified) << workers;
        EXPECT_TRUE(fs::is_empty(m_scratch)) << "a worker's scratch folder outlived the run";
    }
}

TEST_F(ParallelSaveTest, CancelledRunSavesNothingNotYetStarted)
{
    auto record = Edited("a.pptx", 0, "New");
    std::vector<DocumentRecord*> records{record.get()};
    std::atomic<bool> cancel = true;
    Progress progress;
    progress.CancelRequested = &cancel;
    int calls = 0;
    SaveRecords(records, progress, [&](std::size_t, const DocumentOutcome&) { ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(Loaded("a.pptx", 0), "Old");
    EXPECT_TRUE(record->Modified);
}

} // namespace
} // namespace engine
