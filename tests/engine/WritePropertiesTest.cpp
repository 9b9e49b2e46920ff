#include "engine/parts/WriteProperties.h"

#include "ScopedTimeZone.h"
#include "engine/parts/PropertyParts.h"
#include "engine/parts/ReadProperties.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

using testsupport::AppXml;
using testsupport::CoreXml;

DocumentRecord Changing(std::size_t p, const std::string& value)
{
    DocumentRecord record;
    record.Modified = true;
    record.Value(p) = value;
    record.SetChanged(p, true);
    return record;
}

std::string WriteCore(std::size_t p, const std::string& value, const std::string& children)
{
    return WriteCorePropertiesXml(Changing(p, value), CoreXml(children));
}

struct EditCase
{
    std::size_t property;
    const char* value;
    const char* before; // children of the core root
    const char* after;
};

class CoreEdit : public testing::TestWithParam<EditCase>
{
};

TEST_P(CoreEdit, ChangesOnlyTheFlaggedElement)
{
    const auto& c = GetParam();
    EXPECT_EQ(WriteCore(c.property, c.value, c.before), CoreXml(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Edits,
    CoreEdit,
    testing::Values(
        EditCase{0, "New", "<dc:creator>c</dc:creator>",
                 "<dc:creator>c</dc:creator><dc:title>New</dc:title>"},
        EditCase{0, "New", "<dc:title a=\"1\">Old</dc:title>", "<dc:title a=\"1\">New</dc:title>"},
        EditCase{0, "a < b & c", "<dc:title><![CDATA[Old]]></dc:title>",
                 "<dc:title><![CDATA[a < b & c]]></dc:title>"},
        EditCase{0, "x", "<dc:title/>", "<dc:title>x</dc:title>"},
        EditCase{1, "", "<dc:subject>a</dc:subject><dc:title>t</dc:title><dc:subject>b</dc:subject>",
                 "<dc:title>t</dc:title>"},
        EditCase{1, "c", "<dc:subject>a</dc:subject><dc:title>t</dc:title><dc:subject>b</dc:subject>",
                 "<dc:subject>c</dc:subject><dc:title>t</dc:title>"},
        EditCase{3, "\xC3\xBC\xE2\x82\xAC", "", "<cp:keywords>\xC3\xBC\xE2\x82\xAC</cp:keywords>"},
        EditCase{3, "  ", "", "<cp:keywords>  </cp:keywords>"},
        EditCase{0, "t", "<x:title xmlns:x=\"http://purl.org/dc/elements/1.1/\">old</x:title>",
                 "<x:title xmlns:x=\"http://purl.org/dc/elements/1.1/\">t</x:title>"},
        EditCase{0, "t", "<dc:x><dc:title>nested</dc:title></dc:x>",
                 "<dc:x><dc:title>nested</dc:title></dc:x><dc:title>t</dc:title>"},
        EditCase{7, "2013-05-06 09:08:09", "", "<cp:lastPrinted>2013-05-06T09:08:09Z</cp:lastPrinted>"},
        EditCase{8, "2013-05-06 09:08:09", "",
                 "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-05-06T09:08:09Z</dcterms:created>"},
        EditCase{9, "2013-05-06 09:08:09",
                 "<dcterms:modified xsi:type=\"x\">2000-01-01T00:00:00Z</dcterms:modified>",
                 "<dcterms:modified xsi:type=\"x\">2013-05-06T09:08:09Z</dcterms:modified>"}));

TEST(WriteProperties, UnchangedTextsAreNotRewritten)
{
    ScopedTimeZone zone("Europe/Berlin");
    const std::string part =
        CoreXml("<dcterms:created>2013-05-06T09:08:09.5+02:00</dcterms:created>"
                "<cp:lastPrinted>2013-05-06</cp:lastPrinted><dc:title/><dc:subject>s</dc:subject>");
    DocumentRecord record;
    ReadCorePropertiesXml(record, part);
    for (std::size_t p = 0; p < kCoreCount; ++p) {
        record.SetChanged(p, true);
    }
    EXPECT_EQ(WriteCorePropertiesXml(record, part), part);
    // No flag at all: the text comes back as it is, even when it would not load.
    EXPECT_EQ(WriteCorePropertiesXml(DocumentRecord{}, "not xml"), "not xml");
}

TEST(WriteProperties, DatesAreWrittenInUtcWithTheRulesOfThatDate)
{
    ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(WriteCore(8, "2013-01-15 13:00:00", ""),
              CoreXml("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-01-15T12:00:00Z</dcterms:created>"));
    EXPECT_EQ(WriteCore(8, "2013-07-15 14:00:00", ""),
              CoreXml("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-07-15T12:00:00Z</dcterms:created>"));
}

TEST(WriteProperties, InvalidDatesAndMixedContentFailClearly)
{
    for (const char* value : {"2013-05-06", "2013-02-30 10:00:00", "yesterday"}) {
        try {
            (void)WriteCore(9, value, "<dc:title>t</dc:title>");
            FAIL() << value;
        } catch (const EPropertyWriteError& e) {
            EXPECT_NE(std::string(e.what()).find("ModifiedTime: \""), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW((void)WriteCore(0, "x", "<dc:title>a<b/></dc:title>"), EPropertyWriteError);
    EXPECT_THROW((void)WriteCore(0, std::string("a\x01"), ""), EPropertyWriteError);
    EXPECT_THROW((void)WriteCore(0, "caf\xE9", ""), EPropertyWriteError);
    EXPECT_THROW((void)WriteCore(0, "\xC3", ""), EPropertyWriteError);
    EXPECT_THROW((void)WriteCore(0, "\xED\xA0\x80", ""), EPropertyWriteError); // a surrogate
    EXPECT_THROW((void)WriteCore(0, "\xE0\x81\x81", ""), EPropertyWriteError); // overlong
    EXPECT_THROW((void)WriteCore(0, "x", "<dc:title><!--c-->a</dc:title>"), EPropertyWriteError);
}

TEST(WriteProperties, ChangedValuesMustKeepTheValueRule)
{
    const std::string withRawRevision = CoreXml("<cp:revision>12abc</cp:revision>");
    EXPECT_THROW((void)WriteCorePropertiesXml(Changing(6, "13abc"), withRawRevision), EPropertyWriteError);
    EXPECT_THROW((void)WriteAppPropertiesXml(Changing(14, "1.5"), AppXml("")), EPropertyWriteError);
    EXPECT_THROW((void)WriteCorePropertiesXml(Changing(8, "2013-05-06T07:08:09"), withRawRevision),
                 EPropertyWriteError);
    // A flagged value still equal to what the part holds is written back as it is.
    EXPECT_EQ(WriteCorePropertiesXml(Changing(6, "12abc"), withRawRevision), withRawRevision);
    EXPECT_NE(WriteCorePropertiesXml(Changing(6, "13"), withRawRevision).find(">13<"), std::string::npos);
}

TEST(WriteProperties, NewElementsUseTheBoundPrefixOrDeclareOne)
{
    const std::string own =
        "<c:coreProperties xmlns:c=\"http://schemas.openxmlformats.org/package/2006/metadata/"
        "core-properties\" xmlns:d=\"http://purl.org/dc/terms/\">";
    EXPECT_EQ(WriteCorePropertiesXml(Changing(6, "3"), own + "</c:coreProperties>"),
              own + "<c:revision>3</c:revision></c:coreProperties>");
    EXPECT_EQ(WriteCorePropertiesXml(Changing(8, "2013-05-06 09:08:09"), own + "</c:coreProperties>"),
              own.substr(0, own.size() - 1) +
                  " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><d:created xsi:type=\"d:W3CDTF\">"
                  "2013-05-06T09:08:09Z</d:created></c:coreProperties>");
    EXPECT_EQ(
        WriteCorePropertiesXml(Changing(0, "t"), "<r xmlns:dc=\"urn:other\"><dc:title>x</dc:title></r>"),
        "<r xmlns:dc=\"urn:other\" xmlns:dc1=\"http://purl.org/dc/elements/1.1/\"><dc:title>x</dc:title>"
        "<dc1:title>t</dc1:title></r>");
    const std::string strict =
        "<Properties xmlns=\"http://purl.oclc.org/ooxml/officeDocument/extendedProperties\">";
    EXPECT_EQ(WriteAppPropertiesXml(Changing(15, "Co"), strict + "</Properties>"),
              strict + "<Company>Co</Company></Properties>");
    EXPECT_EQ(
        WriteAppPropertiesXml(Changing(16, "M"), "<Properties></Properties>"),
        "<Properties xmlns:ep=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
        "<ep:Manager>M</ep:Manager></Properties>");
}

TEST(WriteProperties, MissingPartsAreCreatedOnlyWhenAValueIsWritten)
{
    ScopedTimeZone zone("Europe/Berlin");
    DocumentRecord record = Changing(0, "Title \xE2\x82\xAC");
    record.Value(8) = "2013-05-06 09:08:09";
    record.SetChanged(8, true);
    record.Value(15) = "Co";
    record.SetChanged(15, true);
    const std::string core = WriteCorePropertiesXml(record, "");
    const std::string app = WriteAppPropertiesXml(record, "");
    EXPECT_NE(core.find("xmlns:dcmitype="), std::string::npos);
    EXPECT_NE(
        core.find("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-05-06T07:08:09Z</dcterms:created>"),
        std::string::npos);
    EXPECT_NE(app.find("xmlns:vt="), std::string::npos);
    DocumentRecord reread;
    ReadCorePropertiesXml(reread, core);
    ReadAppPropertiesXml(reread, app);
    EXPECT_EQ(reread.CoreValues, record.CoreValues);
    EXPECT_EQ(reread.AppValues, record.AppValues);
    EXPECT_EQ(WriteCorePropertiesXml(Changing(0, ""), ""), "");
}

TEST(WriteProperties, FileFormsWriteOnlyWhatChanged)
{
    testsupport::TempDir dir;
    const auto core = dir / "docProps" / "core.xml";
    WriteCoreProperties(Changing(0, ""), core);
    EXPECT_FALSE(std::filesystem::exists(core));
    WriteCoreProperties(Changing(0, "t"), core);
    DocumentRecord record;
    ReadCoreProperties(record, core);
    EXPECT_EQ(record.CoreValues[0], "t");
    testsupport::WriteFileBytes(dir / "app.xml", AppXml("<Company>a</Company>"));
    WriteAppProperties(Changing(15, "b"), dir / "app.xml");
    EXPECT_EQ(testsupport::ReadFileBytes(dir / "app.xml"), AppXml("<Company>b</Company>"));
    EXPECT_THROW(WriteAppProperties(Changing(15, "x"), dir / "docProps"), std::exception);
}

TEST(WriteProperties, FindChildElementMatchesByNamespace)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(
        CoreXml("<dc:x><dc:title>n</dc:title></dc:x><t:title xmlns:t=\"http://purl.org/dc/elements/1.1/\">"
                "a</t:title><dc:title>b</dc:title>"));
    const auto root = doc.DocumentElement();
    EXPECT_EQ(xml::TXMLDocument::NodeText(FindChildElement("dc:title", root)), "a");
    EXPECT_EQ(FindChildElements("dc:title", root).size(), 2U);
    EXPECT_FALSE(FindChildElement("dc:subject", root));
    EXPECT_FALSE(FindChildElement("title", root));
}

TEST(PartRegistration, AddsOneOverrideAndLeavesTheRest)
{
    const std::string types =
        "<?xml version=\"1.0\"?>\n<Types xmlns=\"" + std::string(kContentTypesNamespace) +
        "\">\n <Default Extension=\"xml\" ContentType=\"application/xml\" />\n</Types>\n";
    const std::string added = RegisterContentTypeOverride(types, kCorePartName, kCoreContentType);
    EXPECT_EQ(added, "<?xml version=\"1.0\"?>\n<Types xmlns=\"" + std::string(kContentTypesNamespace) +
                         "\">\n <Default Extension=\"xml\" ContentType=\"application/xml\"/>\n<Override "
                         "PartName=\"/docProps/core.xml\" ContentType=\"" +
                         std::string(kCoreContentType) + "\"/></Types>\n");
    EXPECT_EQ(RegisterContentTypeOverride(added, "/DOCPROPS/Core.xml", kCoreContentType), added);
    const std::string created = RegisterContentTypeOverride("", kAppPartName, kAppContentType);
    EXPECT_NE(created.find("<Override PartName=\"/docProps/app.xml\""), std::string::npos);
}

TEST(PartRegistration, AddsOneRelationshipWithAnUnusedId)
{
    const std::string rels = "<p:Relationships xmlns:p=\"" + std::string(kRelationshipsNamespace) +
                             "\"><p:Relationship Id=\"rId1\" Type=\"t\" Target=\"ppt/presentation.xml\"/>"
                             "<p:Relationship Id=\"rId2\" Type=\"t\" Target=\"x\"/><Other Id=\"rId3\"/>"
                             "</p:Relationships>";
    const std::string added = RegisterPackageRelationship(rels, kAppRelationshipTypes[0], kAppPartName);
    EXPECT_EQ(added, rels.substr(0, rels.size() - 18) + "<p:Relationship Id=\"rId4\" Type=\"" +
                         std::string(kAppRelationshipTypes[0]) +
                         "\" Target=\"docProps/app.xml\"/></p:Relationships>");
    EXPECT_EQ(RegisterPackageRelationship(added, kAppRelationshipTypes[0], "/docProps/./APP.xml"), added);
    EXPECT_NE(RegisterPackageRelationship(added, kCoreRelationshipTypes[0], kCorePartName), added);
    EXPECT_NE(RegisterPackageRelationship("", kCoreRelationshipTypes[0], kCorePartName).find("Id=\"rId1\""),
              std::string::npos);
}

} // namespace
} // namespace engine
