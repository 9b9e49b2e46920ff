#include "engine/package/SaveDocument.h"

#include "PackageFixtures.h"
#include "engine/package/LoadDocument.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace engine {
namespace {

using namespace engine::fixtures;
using testsupport::AppXml;
using testsupport::CoreXml;
using testsupport::PackageBuilder;
using testsupport::ReadFileBytes;
namespace fs = std::filesystem;

class SaveDocumentTest : public testing::Test
{
protected:
    DocumentRecord Loaded(const PackageBuilder& package)
    {
        package.WriteTo(m_path);
        DocumentRecord record;
        record.FullPath = m_path.string();
        record.FileName = "deck.pptx";
        LoadDocument(record); // a part that does not load is a case of its own below
        return record;
    }

    static void Set(DocumentRecord& record, std::size_t p, const std::string& value)
    {
        record.Value(p) = value;
        record.SetChanged(p, true);
        record.Modified = true;
    }

    DocumentRecord Reloaded() const
    {
        DocumentRecord record;
        record.FullPath = m_path.string();
        EXPECT_TRUE(LoadDocument(record).ok) << record.LastError;
        return record;
    }

    testsupport::TempDir m_dir;
    fs::path m_path = m_dir / "deck.pptx";
};

TEST_F(SaveDocumentTest, WritesTheFlaggedPropertiesAndClearsTheFlags)
{
    DocumentRecord record = Loaded(PackageBuilder::Presentation(
        CoreXml("<dc:title>Old</dc:title><dc:subject>Gone</dc:subject><dc:creator>Kept</dc:creator>"),
        AppXml("<Company>Old Co</Company>")));
    ASSERT_EQ(record.LastError, "");
    const std::string presentation = MemberText(m_path, "ppt/presentation.xml");
    Set(record, 0, "New title");
    Set(record, 1, "");
    Set(record, 8, "2013-05-06 09:08:09");
    Set(record, 15, "New Co");
    record.Value(2) = "edited but not flagged";

    const DocumentOutcome outcome = SaveDocument(record);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_FALSE(record.Modified);
    EXPECT_FALSE(record.Changed(0));
    EXPECT_FALSE(record.Changed(15));
    EXPECT_EQ(record.LastError, "");
    EXPECT_FALSE(record.ScratchFolder.empty());
    EXPECT_FALSE(fs::exists(record.ScratchFolder));

    const DocumentRecord again = Reloaded();
    EXPECT_EQ(again.Value(0), "New title");
    EXPECT_EQ(again.Value(1), "");
    EXPECT_EQ(again.Value(2), "Kept");
    EXPECT_EQ(again.Value(8), "2013-05-06 09:08:09");
    EXPECT_EQ(again.Value(15), "New Co");
    EXPECT_EQ(MemberText(m_path, "docProps/core.xml").find("dc:subject"), std::string::npos);
    EXPECT_NE(MemberText(m_path, "docProps/core.xml").find("2013-05-06T09:08:09Z"), std::string::npos);
    EXPECT_EQ(MemberText(m_path, "ppt/presentation.xml"), presentation);
}

// Statistics are read-only: a save of an app property keeps them in the part and in the record.
TEST_F(SaveDocumentTest, LeavesTheStatisticsAsThePackageHoldsThem)
{
    DocumentRecord record = Loaded(PackageBuilder::Presentation(
        CoreXml("<dc:title>T</dc:title>"),
        AppXml("<Application>App</Application><Slides>3</Slides><Company>Old</Company>"
               "<HyperlinkBase>h</HyperlinkBase>")));
    Set(record, kCoreCount + 2, "New");
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_EQ(record.StatisticText(Statistic::Slides), "3");
    const std::string app = MemberText(m_path, "docProps/app.xml");
    EXPECT_NE(app.find("<Application>App</Application><Slides>3</Slides>"), std::string::npos) << app;
    const DocumentRecord reloaded = Reloaded();
    EXPECT_EQ(reloaded.Value(kCoreCount + 2), "New");
    EXPECT_EQ(reloaded.StatisticText(Statistic::Application), "App");
    EXPECT_EQ(reloaded.StatisticText(Statistic::HyperlinkBase), "h");
}

TEST_F(SaveDocumentTest, CreatesAndRegistersAMissingPartOnlyWhenAValueNeedsIt)
{
    DocumentRecord record = Loaded(PackageBuilder::Presentation("", AppXml("<Company>Co</Company>")));
    const std::string before = ReadFileBytes(m_path);
    Set(record, 1, ""); // clearing a property of an absent part changes nothing
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_FALSE(record.Modified);
    EXPECT_EQ(ReadFileBytes(m_path), before);

    Set(record, 0, "Created");
    ASSERT_TRUE(SaveDocument(record).ok) << record.LastError;
    EXPECT_EQ(Reloaded().Value(0), "Created");
    EXPECT_EQ(Reloaded().Value(15), "Co");
    EXPECT_NE(MemberText(m_path, "[Content_Types].xml").find("/docProps/core.xml"), std::string::npos);
    const std::string rels = MemberText(m_path, "_rels/.rels");
    EXPECT_NE(rels.find("metadata/core-properties"), std::string::npos) << rels;
    EXPECT_NE(rels.find("docProps/core.xml"), std::string::npos) << rels;
}

TEST_F(SaveDocumentTest, RefusesToCreateAPartWhereNoRelationshipsPartCouldRegisterIt)
{
    DocumentRecord record = Loaded(Package("", "", "", "docProps/app.xml", AppXml("<Company>Co</Company>")));
    const std::string before = ReadFileBytes(m_path);
    Set(record, 0, "Created");
    EXPECT_FALSE(SaveDocument(record).ok);
    EXPECT_NE(record.LastError.find("_rels/.rels"), std::string::npos) << record.LastError;
    EXPECT_TRUE(record.Modified);
    EXPECT_EQ(ReadFileBytes(m_path), before);
}

struct FailureCase
{
    const char* label;
    std::string coreXml;
    std::function<void(const fs::path&)> afterLoad; // what happens to the package before the save
    std::size_t property;
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.label;
}

class SaveFailureTest : public SaveDocumentTest, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(SaveFailureTest, LeavesThePackageAndTheFlagsAsTheyWere)
{
    const FailureCase& c = GetParam();
    DocumentRecord record = Loaded(PackageBuilder::Presentation(c.coreXml, AppXml("<Company>Co</Company>")));
    Set(record, c.property, "Changed");
    Set(record, 15, "Changed Co");
    c.afterLoad(m_path);
    const bool existed = fs::exists(m_path);
    const std::string before = existed ? ReadFileBytes(m_path) : std::string();

    const DocumentOutcome outcome = SaveDocument(record);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(record.LastError.empty());
    EXPECT_EQ(record.LastError.find(m_path.string()), std::string::npos) << "the front ends say the path";
    EXPECT_EQ(outcome.message, record.LastError);
    EXPECT_TRUE(record.Modified);
    EXPECT_TRUE(record.Changed(c.property));
    EXPECT_TRUE(record.Changed(15));
    EXPECT_EQ(fs::exists(m_path), existed);
    EXPECT_TRUE(record.ScratchFolder.empty() || !fs::exists(record.ScratchFolder)) << record.ScratchFolder;
    if (existed) {
        EXPECT_EQ(ReadFileBytes(m_path), before);
    }
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

const std::string kCore = CoreXml("<dc:title>Old</dc:title>");

INSTANTIATE_TEST_SUITE_P(
    Packages,
    SaveFailureTest,
    testing::Values(
        FailureCase{"read-only package", kCore,
                    [](const fs::path& p) {
                        fs::permissions(
                            p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
                    },
                    0},
        FailureCase{"package deleted after loading", kCore, [](const fs::path& p) { fs::remove(p); }, 0},
        FailureCase{"package damaged after loading", kCore,
                    [](const fs::path& p) { testsupport::WriteFileBytes(p, std::string(4000, 'z')); }, 0},
        FailureCase{"core part malformed", "<cp:coreProperties><dc:title>", [](const fs::path&) {}, 0},
        FailureCase{"date the writer refuses", kCore, [](const fs::path&) {}, 8}));

} // namespace
} // namespace engine
