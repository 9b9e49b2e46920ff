// Property parts that a conforming XML 1.0 parser refuses, and archives that readers disagree on:
// each is reported when the package loads, and a save of it fails and leaves the package as it was.
#include "engine/package/LoadDocument.h"
#include "engine/package/SaveDocument.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace reliability {
namespace {

using testsupport::AppXml;
using testsupport::CoreXml;
using testsupport::PackageBuilder;
using testsupport::ReadFileBytes;

constexpr std::size_t kTitle = 0;
constexpr std::size_t kCompany = 15;

const std::string kAppNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";

std::string AppPart(const std::string& before, const std::string& inside, const std::string& after)
{
    return before + "<Properties xmlns=\"" + kAppNamespace + "\"><Company>Old</Company>" + inside +
           "</Properties>" + after;
}

// The fuzz input that first showed a save writing a part no parser reads (its first byte chose the
// app part).
const std::string kFuzzFinding = "<t/>>4-->\t<!--ist/>>4-->\t<!--i-->\t7_Ed<!--ii>4--->\t*<!--isiont/>>4-->\t"
                                 "<!--isiosi>4-->\t<!--isi>\t<!---->\t";

struct Case
{
    const char* name;
    std::string app;
};

class PackageTest : public testing::Test
{
protected:
    engine::DocumentRecord Loaded(const PackageBuilder& package)
    {
        package.WriteTo(m_path);
        m_before = ReadFileBytes(m_path);
        engine::DocumentRecord record;
        record.FullPath = m_path.string();
        engine::LoadDocument(record);
        return record;
    }

    // Edits a property, saves, and expects the save to fail with the package untouched.
    void ExpectSaveRefused(engine::DocumentRecord& record, std::size_t property)
    {
        record.Value(property) = "New";
        record.SetChanged(property, true);
        record.Modified = true;
        EXPECT_FALSE(engine::SaveDocument(record).ok);
        EXPECT_FALSE(record.LastError.empty());
        EXPECT_TRUE(record.Modified);
        EXPECT_EQ(ReadFileBytes(m_path), m_before);
    }

    testsupport::TempDir m_dir;
    std::filesystem::path m_path = m_dir / "deck.pptx";
    std::string m_before;
};

class NonConformingAppPart : public PackageTest, public testing::WithParamInterface<Case>
{
};

TEST_P(NonConformingAppPart, IsRefusedOnLoadAndOnSave)
{
    engine::DocumentRecord record =
        Loaded(PackageBuilder::Presentation(CoreXml("<dc:title>T</dc:title>"), GetParam().app));
    EXPECT_NE(record.LastError.find("docProps/app.xml"), std::string::npos) << record.LastError;
    EXPECT_NE(record.LastError.find("not well-formed"), std::string::npos) << record.LastError;
    EXPECT_EQ(record.Value(kTitle), "T"); // the other part still reads
    EXPECT_EQ(record.Value(kCompany), "");
    ExpectSaveRefused(record, kCompany);
}

INSTANTIATE_TEST_SUITE_P(
    Parts,
    NonConformingAppPart,
    testing::Values(Case{"DoubleHyphenInComment", AppPart("", "<!-- a -- b -->", "")},
                    Case{"CommentEndingInThreeHyphens", AppPart("", "", "<!-- c --->")},
                    Case{"TextAfterTheRoot", AppPart("", "", ">4-->")},
                    Case{"BlanksBeforeTheDeclaration", AppPart("\n <?xml version=\"1.0\"?>", "", "")},
                    Case{"TwoDeclarations",
                         AppPart("<?xml version=\"1.0\"?><?xml version=\"1.0\"?>", "", "")},
                    Case{"CdataEndInText", AppPart("", "<Manager>a ]]> b</Manager>", "")},
                    Case{"LessThanInAttribute", AppPart("", "<Manager a=\"x<y\">m</Manager>", "")},
                    Case{"DoctypeAfterTheRoot", AppPart("", "", "<!DOCTYPE Properties>")},
                    Case{"FuzzFinding", kFuzzFinding},
                    Case{"EntityDeclaration",
                         AppPart("<!DOCTYPE Properties [<!ENTITY e \"x\">]>", "<Manager>&e;</Manager>", "")},
                    Case{"ControlCharacterReference", AppPart("", "<Manager>&#1;</Manager>", "")}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Well-formed parts with markup around and inside the root still read and save, and everything
// outside the root comes back byte for byte.
TEST_F(PackageTest, WellFormedMarkupStillReadsAndSaves)
{
    const std::string prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- head --><?pi data?>\n";
    const std::string epilog = "\n<!-- trailing comment --><?tail?>\n";
    const std::string app = AppPart(prolog, "<Manager><![CDATA[a < b]]></Manager><!-- in -->", epilog);
    engine::DocumentRecord record =
        Loaded(PackageBuilder::Presentation(CoreXml("<dc:title>T</dc:title>"), app));
    ASSERT_EQ(record.LastError, "");
    EXPECT_EQ(record.Value(16), "a < b");
    record.Value(kCompany) = "New";
    record.SetChanged(kCompany, true);
    record.Modified = true;
    ASSERT_TRUE(engine::SaveDocument(record).ok) << record.LastError;

    engine::DocumentRecord reread;
    reread.FullPath = m_path.string();
    ASSERT_TRUE(engine::LoadDocument(reread).ok) << reread.LastError;
    EXPECT_EQ(reread.Value(kCompany), "New");
    EXPECT_EQ(reread.Value(16), "a < b");
}

// Two members of one name: readers disagree on which one the name means.
TEST_F(PackageTest, DuplicateMemberNamesAreReportedOnLoad)
{
    PackageBuilder duplicatedCore = PackageBuilder::Presentation("", AppXml("<Company>Acme</Company>"));
    duplicatedCore.Add("docProps/core.xml", CoreXml("<dc:title>First</dc:title>"));
    duplicatedCore.Add("docProps/Core.xml", CoreXml("<dc:title>Second</dc:title>"));
    engine::DocumentRecord record = Loaded(duplicatedCore);
    EXPECT_NE(record.LastError.find("two members named docProps/core.xml"), std::string::npos)
        << record.LastError;
    EXPECT_EQ(record.Value(kTitle), ""); // neither of the two is shown
    EXPECT_EQ(record.Value(kCompany), "Acme");
    ExpectSaveRefused(record, kCompany);

    PackageBuilder duplicatedOther =
        PackageBuilder::Presentation(CoreXml("<dc:title>T</dc:title>"), AppXml("<Company>Acme</Company>"));
    duplicatedOther.Add("ppt/slides/slide1.xml", "<a/>").Add("ppt\\slides\\slide1.xml", "<b/>");
    record = Loaded(duplicatedOther);
    EXPECT_NE(record.LastError.find("two members named ppt/slides/slide1.xml"), std::string::npos)
        << record.LastError;
    EXPECT_EQ(record.Value(kTitle), "T");
    ExpectSaveRefused(record, kTitle);
}

// A property part flagged as encrypted cannot be read, and is never rewritten as plain text under
// the encryption flag.
TEST_F(PackageTest, EncryptedPropertyPartIsReportedAndNotSaved)
{
    PackageBuilder package = PackageBuilder::Presentation("", AppXml("<Company>Acme</Company>"));
    PackageBuilder::Entry core;
    core.name = "docProps/core.xml";
    core.content = CoreXml("<dc:title>Plain</dc:title>");
    core.flags = 1;
    package.Add(core);
    engine::DocumentRecord record = Loaded(package);
    EXPECT_NE(record.LastError.find("docProps/core.xml"), std::string::npos) << record.LastError;
    EXPECT_NE(record.LastError.find("ncrypted"), std::string::npos) << record.LastError;
    EXPECT_EQ(record.Value(kTitle), "");
    EXPECT_EQ(record.Value(kCompany), "Acme");
    ExpectSaveRefused(record, kTitle);
    record = Loaded(package);
    ExpectSaveRefused(record, kCompany); // even an edit of the other part
    EXPECT_NE(record.LastError.find("encrypted"), std::string::npos) << record.LastError;
}

} // namespace
} // namespace reliability
