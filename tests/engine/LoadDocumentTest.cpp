#include "engine/package/LoadDocument.h"

#include "PackageFixtures.h"
#include "engine/parts/PartLocator.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

using namespace engine::fixtures;
using testsupport::AppXml;
using testsupport::CoreXml;
using testsupport::PackageBuilder;

const std::string kCore = CoreXml("<dc:title>Core title</dc:title>");
const std::string kApp = AppXml("<Company>App company</Company>");

struct LoadCase
{
    const char* label;
    PackageBuilder package;
    std::string title;   // expected Title
    std::string company; // expected Company
    std::string error;   // a text the error must hold; empty: no error
};

void PrintTo(const LoadCase& c, std::ostream* out)
{
    *out << c.label;
}

class LoadDocumentTest : public testing::TestWithParam<LoadCase>
{
};

TEST_P(LoadDocumentTest, ReadsEachPartOnItsOwn)
{
    const LoadCase& c = GetParam();
    testsupport::TempDir dir;
    c.package.WriteTo(dir / "deck.pptx");
    DocumentRecord record;
    record.FullPath = (dir / "deck.pptx").string();
    record.Value(2) = "stale";
    record.SetChanged(2, true);
    record.Modified = true;
    record.Statistics.Assign([](std::size_t) { return "stale"; });

    const DocumentOutcome outcome = LoadDocument(record);
    EXPECT_EQ(record.Value(0), c.title);
    EXPECT_EQ(record.Value(15), c.company);
    EXPECT_EQ(record.Value(2), "");                         // old values never survive a load
    EXPECT_EQ(record.StatisticText(Statistic::Slides), ""); // nor do old statistics
    EXPECT_FALSE(record.Modified);
    EXPECT_FALSE(record.Changed(2));
    EXPECT_EQ(outcome.ok, c.error.empty());
    EXPECT_EQ(outcome.message, record.LastError);
    if (c.error.empty()) {
        EXPECT_EQ(record.LastError, "");
    } else {
        EXPECT_NE(record.LastError.find(c.error), std::string::npos) << record.LastError;
    }
}

PackageBuilder WithCore(const std::string& rels, const std::string& coreName, const std::string& core = kCore)
{
    return Package(rels, coreName, core, "docProps/app.xml", kApp);
}

const std::string kMalformed = "<cp:coreProperties><dc:title>unclosed";

PackageBuilder::Entry Encrypted(const std::string& name, const std::string& content)
{
    PackageBuilder::Entry entry;
    entry.name = name;
    entry.content = content;
    entry.flags = 1;
    return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Packages,
    LoadDocumentTest,
    testing::Values(
        LoadCase{"both parts", PackageBuilder::Presentation(kCore, kApp), "Core title", "App company", ""},
        LoadCase{"no core part", PackageBuilder::Presentation("", kApp), "", "App company", ""},
        LoadCase{"no parts at all", PackageBuilder::Presentation("", ""), "", "", ""},
        LoadCase{"no relationships part: usual names", WithCore("", "docProps/core.xml"), "Core title",
                 "App company", ""},
        LoadCase{"relationship to another name",
                 WithCore(Rels(CoreRel("r1", "/meta/../props/./core1.xml")), "props/core1.xml"), "Core title",
                 "App company", ""},
        LoadCase{"preferred type wins over document order",
                 WithCore(Rels(CoreRel("r1", "docProps/core.xml", true) + CoreRel("r2", "other.xml")),
                          "other.xml"),
                 "Core title", "App company", ""},
        LoadCase{
            "external and dangling targets ignored",
            WithCore(Rels("<Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/package/2006/"
                          "relationships/metadata/core-properties\" Target=\"other.xml\" "
                          "TargetMode=\"External\"/>" +
                          CoreRel("r2", "missing.xml")),
                     "DocProps/Core.XML"),
            "Core title", "App company", ""},
        LoadCase{"backslash in the stored name",
                 WithCore(Rels(CoreRel("r1", "docProps/core.xml")), "docProps\\core.xml"), "Core title",
                 "App company", ""},
        LoadCase{"malformed relationships part", WithCore("<Relationships>", "docProps/core.xml"),
                 "Core title", "App company", ""},
        LoadCase{"malformed core part", WithCore("", "docProps/core.xml", kMalformed), "", "App company",
                 "docProps/core.xml"},
        LoadCase{"both parts malformed",
                 Package("", "docProps/core.xml", kMalformed, "docProps/app.xml", "<Properties>"), "", "",
                 "; "},
        LoadCase{"damaged core member",
                 PackageBuilder::Presentation(kCore, kApp).CorruptCrcOf("docProps/core.xml"), "",
                 "App company", "docProps/core.xml"},
        LoadCase{"encrypted app member",
                 PackageBuilder::Presentation(kCore, "").Add(Encrypted("docProps/app.xml", kApp)),
                 "Core title", "", "docProps/app.xml"}),
    [](const testing::TestParamInfo<LoadCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.label)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(LoadDocument, FileThatIsNoPresentationGivesAnErrorThatLeavesThePathToTheFrontEnds)
{
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir / "text.pptx", std::string(700, 'x'));
    testsupport::WriteFileBytes(dir / "ole2.pptx",
                                std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(1024, '\0'));
    // An empty ZIP archive, made larger than the smallest added package by its comment.
    testsupport::WriteFileBytes(dir / "empty.pptx", std::string("PK\x05\x06", 4) + std::string(16, '\0') +
                                                        "\x00\x02" + std::string(512, 'c'));
    testsupport::WriteFileBytes(dir / "zero.pptx", "");
    const std::pair<const char*, const char*> cases[] = {{"text.pptx", "Not a valid zip file!"},
                                                         {"ole2.pptx", "encrypted or legacy OLE2 package"},
                                                         {"empty.pptx", "holds no presentation"},
                                                         {"zero.pptx", "holds no presentation"},
                                                         {"missing.pptx", "No such file"}};
    for (const auto& [name, error] : cases) {
        DocumentRecord record;
        record.FullPath = (dir / name).string();
        EXPECT_FALSE(LoadDocument(record).ok) << name;
        EXPECT_NE(record.LastError.find(error), std::string::npos) << record.LastError;
        EXPECT_EQ(record.LastError.find(dir.Path().string()), std::string::npos) << record.LastError;
    }
}

TEST(ResolveRelationshipTarget, NormalisesAgainstThePackageRoot)
{
    EXPECT_EQ(ResolveRelationshipTarget("docProps/core.xml"), "docProps/core.xml");
    EXPECT_EQ(ResolveRelationshipTarget("/docProps/core.xml"), "docProps/core.xml");
    EXPECT_EQ(ResolveRelationshipTarget("./a/./b/../core.xml"), "a/core.xml");
    EXPECT_EQ(ResolveRelationshipTarget("../../core.xml"), "core.xml");
    EXPECT_EQ(ResolveRelationshipTarget("a\\b//c.xml"), "a/b/c.xml");
}

} // namespace
} // namespace engine
