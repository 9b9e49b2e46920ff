#include "engine/parts/ReadProperties.h"

#include "ScopedTimeZone.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "xml/EXmlError.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

using testsupport::AppXml;
using testsupport::CoreXml;

std::string Core(const std::string& children)
{
    DocumentRecord record;
    ReadCorePropertiesXml(record, CoreXml(children));
    return record.CoreValues[0] + "|" + record.CoreValues[1];
}

TEST(ReadProperties, ReadsEveryCoreAndAppProperty)
{
    DocumentRecord record;
    ReadCorePropertiesXml(
        record,
        CoreXml("<dc:title>T</dc:title><dc:subject>S</dc:subject><dc:creator>C</dc:creator>"
                "<cp:keywords>K</cp:keywords><dc:description>D</dc:description>"
                "<cp:lastModifiedBy>L</cp:lastModifiedBy><cp:revision>7</cp:revision>"
                "<cp:lastPrinted>2013-05-06T07:08:09Z</cp:lastPrinted>"
                "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-05-06T07:08:10Z</dcterms:created>"
                "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2013-05-06T07:08:11Z</dcterms:modified>"
                "<cp:category>Ca</cp:category><cp:contentType>CT</cp:contentType>"
                "<cp:contentStatus>CS</cp:contentStatus>"));
    ReadAppPropertiesXml(record, AppXml("<Template>Tp</Template><TotalTime>125</TotalTime>"
                                        "<Company>Co</Company><Manager>M</Manager>"));
    const char* expected[] = {"T",
                              "S",
                              "C",
                              "K",
                              "D",
                              "L",
                              "7",
                              "2013-05-06 07:08:09",
                              "2013-05-06 07:08:10",
                              "2013-05-06 07:08:11",
                              "Ca",
                              "CT",
                              "CS",
                              "Tp",
                              "125",
                              "Co",
                              "M"};
    for (std::size_t p = 0; p < kPropertyCount; ++p) {
        EXPECT_EQ(record.Value(p), expected[p]) << p;
    }
    EXPECT_FALSE(record.Modified);
}

struct ElementCase
{
    const char* children;
    const char* titleAndSubject;
};

class RecognisedElements : public testing::TestWithParam<ElementCase>
{
};

TEST_P(RecognisedElements, ByNamespaceAndLocalNameAmongDirectChildren)
{
    EXPECT_EQ(Core(GetParam().children), GetParam().titleAndSubject);
}

INSTANTIATE_TEST_SUITE_P(
    Elements,
    RecognisedElements,
    testing::Values(
        ElementCase{"<x:title xmlns:x=\"http://purl.org/dc/elements/1.1/\">a</x:title>", "a|"},
        ElementCase{"<title xmlns=\"http://purl.org/dc/elements/1.1/\">a</title>", "a|"},
        ElementCase{"<DC:TITLE>a</DC:TITLE><dc:Title>b</dc:Title>", "|"},
        ElementCase{"<cp:title>a</cp:title><title>b</title>", "|"},
        ElementCase{"<zz:title>a</zz:title><dc:subject>after</dc:subject>", "|after"},
        ElementCase{"<dc:x><dc:title>nested</dc:title></dc:x>", "|"},
        ElementCase{"<dc:title xmlns:dc=\"urn:other\">a</dc:title>", "|"},
        ElementCase{"<dc:subject>a</dc:subject><dc:subject>b</dc:subject>", "|b"},
        ElementCase{"<dc:subject>a</dc:subject><dc:subject/><dc:subject></dc:subject>", "|a"},
        ElementCase{"<dc:title>  </dc:title><dc:subject>\n x \n</dc:subject>", "  |\n x \n"},
        ElementCase{"<dc:title><![CDATA[<b>]]></dc:title><dc:subject>a &amp; b</dc:subject>", "<b>|a & b"},
        ElementCase{"<dc:title><b>bold</b> tail</dc:title><dc:subject><!--c-->x</dc:subject>", "bold|c"},
        ElementCase{"<dc:title>Z\xC3\xBC\xE2\x82\xAC \xF0\x9F\x9A\x80</dc:title>",
                    "Z\xC3\xBC\xE2\x82\xAC \xF0\x9F\x9A\x80|"}));

TEST(ReadProperties, AppPartInEitherNamespaceWithAnyPrefix)
{
    for (const char* text :
         {"<Properties "
          "xmlns=\"http://purl.oclc.org/ooxml/officeDocument/extendedProperties\"><Company>a</Company>"
          "<Slides>4</Slides></Properties>",
          "<ap:Properties "
          "xmlns:ap=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
          "<ap:Company>a</ap:Company><ap:Slides>4</ap:Slides></ap:Properties>"}) {
        DocumentRecord record;
        ReadAppPropertiesXml(record, text);
        EXPECT_EQ(record.AppValues[2], "a") << text;
        EXPECT_EQ(record.StatisticText(Statistic::Slides), "4") << text;
    }
    DocumentRecord record;
    ReadAppPropertiesXml(record, "<Properties><Company>a</Company><Slides>4</Slides></Properties>");
    EXPECT_EQ(record.AppValues[2], "");
    EXPECT_EQ(record.StatisticText(Statistic::Slides), "");
}

TEST(ReadProperties, KeepsTheTenStatisticsAsStoredBesideTheProperties)
{
    DocumentRecord record;
    ReadAppPropertiesXml(
        record,
        AppXml(
            "<Application>Microsoft Office PowerPoint</Application><AppVersion>16.0000</AppVersion>"
            "<PresentationFormat>On-screen Show (4:3)</PresentationFormat><Slides>1</Slides><Slides/>"
            "<Notes>3</Notes><HiddenSlides>0</HiddenSlides><Words> 1 200 </Words>"
            "<Paragraphs>40</Paragraphs><MMClips>2</MMClips><HyperlinkBase>http://a/?b&amp;c</HyperlinkBase>"
            "<Company>C</Company><Slides>12</Slides><x:Notes xmlns:x=\"urn:x\">9</x:Notes>"
            "<TitlesOfParts><vt:vector size=\"1\" baseType=\"lpstr\"><vt:lpstr>Words</vt:lpstr>"
            "</vt:vector></TitlesOfParts>"));
    const std::array<const char*, kStatisticCount> expected = {"Microsoft Office PowerPoint",
                                                               "16.0000",
                                                               "On-screen Show (4:3)",
                                                               "12",
                                                               "3",
                                                               "0",
                                                               " 1 200 ",
                                                               "40",
                                                               "2",
                                                               "http://a/?b&c"};
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        EXPECT_EQ(record.StatisticText(static_cast<Statistic>(i)), expected[i]) << StatisticNames[i];
    }
    EXPECT_EQ(record.AppValues[2], "C");
    // A core part has no statistics; clearing the record empties them.
    ReadCorePropertiesXml(record, CoreXml("<dc:title>T</dc:title>"));
    EXPECT_EQ(record.StatisticText(Statistic::Application), "Microsoft Office PowerPoint");
    ClearProperties(record);
    EXPECT_EQ(record.StatisticText(Statistic::Application), "");
}

TEST(ReadProperties, DatesInTheirZoneAndUnreadableDatesKeptWhileTheReadGoesOn)
{
    ScopedTimeZone zone("Europe/Berlin");
    DocumentRecord record;
    ReadCorePropertiesXml(record, CoreXml("<cp:lastPrinted>2013-05-06</cp:lastPrinted>"
                                          "<dcterms:created>2013-01-15T12:00:00.5Z</dcterms:created>"
                                          "<dcterms:modified>2013-05-06T07:08:09+02:00</dcterms:modified>"
                                          "<cp:category>after</cp:category>"));
    EXPECT_EQ(record.CoreValues[7], "2013-05-06");
    EXPECT_EQ(record.CoreValues[8], "2013-01-15 13:00:00");
    EXPECT_EQ(record.CoreValues[9], "2013-05-06 07:08:09");
    EXPECT_EQ(record.CoreValues[10], "after");
    ReadCorePropertiesXml(record, CoreXml("<dcterms:created>garbage</dcterms:created>"));
    EXPECT_EQ(record.CoreValues[8], "garbage");
}

TEST(ReadProperties, KeepsEarlierValuesAndFlagsAndRefusesBrokenParts)
{
    testsupport::TempDir dir;
    DocumentRecord record;
    record.CoreValues[0] = "kept";
    record.CoreChanged[0] = true;
    record.Modified = true;
    testsupport::WriteFileBytes(dir / "core.xml", CoreXml("<dc:subject>s</dc:subject>"));
    ReadCoreProperties(record, dir / "core.xml");
    EXPECT_EQ(record.CoreValues[0], "kept");
    EXPECT_EQ(record.CoreValues[1], "s");
    EXPECT_TRUE(record.CoreChanged[0]);
    EXPECT_TRUE(record.Modified);
    testsupport::WriteFileBytes(dir / "app.xml", AppXml("<Company>unclosed"));
    EXPECT_THROW(ReadAppProperties(record, dir / "app.xml"), xml::EXmlError);
    EXPECT_THROW(ReadAppProperties(record, dir / "missing.xml"), xml::EXmlError);
    EXPECT_THROW(ReadCorePropertiesXml(record, CoreXml("<dc:title>&bomb;</dc:title>")), xml::EXmlError);
    EXPECT_EQ(record.CoreValues[0], "kept");
}

} // namespace
} // namespace engine
