#include "support/SampleDecks.h"

#include "support/OfficePackages.h"

namespace testsupport {

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const std::string kPresentationNs = "http://schemas.openxmlformats.org/presentationml/2006/main";
const std::string kRelationshipNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string kOfficeRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationships(const std::string& type, const std::string& target)
{
    return kDeclaration + "<Relationships xmlns=\"" + kRelationshipNs +
           "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeRel + type + "\" Target=\"" + target +
           "\"/></Relationships>";
}

} // namespace

PackageBuilder Deck(const std::string& coreXml, const std::string& appXml, const std::string& customXml)
{
    std::string types = kDeclaration +
                        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                        "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>"
                        "<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.presentationml.presentation.main+xml\"/>"
                        "<Override PartName=\"/ppt/slides/slide1.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.presentationml.slide+xml\"/>"
                        "<Override PartName=\"/ppt/slideLayouts/slideLayout1.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.presentationml.slideLayout+xml\"/>"
                        "<Override PartName=\"/ppt/slideMasters/slideMaster1.xml\" ContentType=\"application/"
                        "vnd.openxmlformats-officedocument.presentationml.slideMaster+xml\"/>"
                        "<Override PartName=\"/ppt/theme/theme1.xml\" "
                        "ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>";
    std::string rels =
        kDeclaration + "<Relationships xmlns=\"" + kRelationshipNs + "\">" +
        "<Relationship Id=\"rId1\" Type=\"" + kOfficeRel +
        "officeDocument\" Target=\"ppt/presentation.xml\"/>"
        "<Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail\" "
        "Target=\"docProps/thumbnail.jpeg\"/>";

    struct Part
    {
        std::string name, xml, contentType, relType;
    };

    const Part parts[] = {
        {"docProps/core.xml", coreXml, "application/vnd.openxmlformats-package.core-properties+xml",
         "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"},
        {"docProps/app.xml", appXml, "application/vnd.openxmlformats-officedocument.extended-properties+xml",
         kOfficeRel + "extended-properties"},
        {"docProps/custom.xml", customXml,
         "application/vnd.openxmlformats-officedocument.custom-properties+xml",
         kOfficeRel + "custom-properties"},
    };
    int id = 3;
    for (const Part& part : parts) {
        if (!part.xml.empty()) {
            types += "<Override PartName=\"/" + part.name + "\" ContentType=\"" + part.contentType + "\"/>";
            rels += "<Relationship Id=\"rId" + std::to_string(id++) + "\" Type=\"" + part.relType +
                    "\" Target=\"" + part.name + "\"/>";
        }
    }

    PackageBuilder builder;
    builder.Add("[Content_Types].xml", types + "</Types>");
    builder.Add("_rels/.rels", rels + "</Relationships>");
    builder.Add("ppt/presentation.xml",
                kDeclaration + "<p:presentation xmlns:p=\"" + kPresentationNs + "\" xmlns:r=\"" + kOfficeRel +
                    "\"><p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/></p:sldMasterIdLst>"
                    "<p:sldIdLst><p:sldId id=\"256\" r:id=\"rId2\"/></p:sldIdLst>"
                    "<p:sldSz cx=\"9144000\" cy=\"6858000\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
                    "</p:presentation>");
    builder.Add("ppt/_rels/presentation.xml.rels",
                kDeclaration + "<Relationships xmlns=\"" + kRelationshipNs +
                    "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeRel +
                    "slideMaster\" Target=\"slideMasters/slideMaster1.xml\"/>" +
                    "<Relationship Id=\"rId2\" Type=\"" + kOfficeRel +
                    "slide\" Target=\"slides/slide1.xml\"/>" + "<Relationship Id=\"rId3\" Type=\"" +
                    kOfficeRel + "theme\" Target=\"theme/theme1.xml\"/>" + "</Relationships>");
    std::string shapes;
    for (int i = 0; i < 40; ++i) {
        shapes += "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(i + 2) + "\" name=\"Text " +
                  std::to_string(i) +
                  "\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr/><p:txBody><a:bodyPr/>"
                  "<a:p><a:r><a:t>Line " +
                  std::to_string(i) + " of the slide</a:t></a:r></a:p></p:txBody></p:sp>";
    }
    const std::string drawingNs = " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"";
    builder.Add("ppt/slides/slide1.xml",
                kDeclaration + "<p:sld xmlns:p=\"" + kPresentationNs + "\"" + drawingNs +
                    "><p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/>"
                    "</p:nvGrpSpPr><p:grpSpPr/>" +
                    shapes + "</p:spTree></p:cSld></p:sld>");
    builder.Add("ppt/slides/_rels/slide1.xml.rels",
                Relationships("slideLayout", "../slideLayouts/slideLayout1.xml"));
    builder.Add("ppt/slideLayouts/slideLayout1.xml",
                kDeclaration + "<p:sldLayout xmlns:p=\"" + kPresentationNs + "\"" + drawingNs +
                    " type=\"title\"><p:cSld name=\"Title Slide\"><p:spTree/></p:cSld></p:sldLayout>");
    builder.Add("ppt/slideLayouts/_rels/slideLayout1.xml.rels",
                Relationships("slideMaster", "../slideMasters/slideMaster1.xml"));
    builder.Add("ppt/slideMasters/slideMaster1.xml",
                kDeclaration + "<p:sldMaster xmlns:p=\"" + kPresentationNs + "\"" + drawingNs +
                    "><p:cSld><p:spTree/></p:cSld><p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" "
                    "r:id=\"rId1\" xmlns:r=\"" +
                    kOfficeRel + "\"/></p:sldLayoutIdLst></p:sldMaster>");
    builder.Add("ppt/slideMasters/_rels/slideMaster1.xml.rels",
                Relationships("slideLayout", "../slideLayouts/slideLayout1.xml"));
    std::string colours;
    for (const char* name : {"dk1", "lt1", "dk2", "lt2", "accent1", "accent2", "accent3", "accent4"}) {
        colours += std::string("<a:") + name + "><a:srgbClr val=\"1F497D\"/></a:" + name + ">";
    }
    builder.Add("ppt/theme/theme1.xml", kDeclaration + "<a:theme" + drawingNs +
                                            " name=\"Office Theme\"><a:themeElements>"
                                            "<a:clrScheme name=\"Office\">" +
                                            colours + "</a:clrScheme></a:themeElements></a:theme>");
    // A picture is stored as it is, not compressed again.
    std::string jpeg = "\xFF\xD8\xFF\xE0";
    for (int i = 0; i < 2000; ++i) {
        jpeg += static_cast<char>((i * 131 + 7) % 256);
    }
    builder.Add("docProps/thumbnail.jpeg", jpeg + "\xFF\xD9", PackageBuilder::Method::Stored);
    for (const Part& part : parts) {
        if (!part.xml.empty()) {
            builder.Add(part.name, part.xml);
        }
    }
    return builder;
}

PackageBuilder PropertyDeck()
{
    const std::string core = CoreXml(
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2019-03-31T00:30:15Z</dcterms:created>"
        "<dc:creator>Zoë Ångström</dc:creator>"
        "<dc:description>Line one of the description&#10;Line two with tab&#9;and euro €</dc:description>"
        "<cp:keywords>alpha beta, gamma 日本語</cp:keywords><dc:language>en-US</dc:language>"
        "<cp:lastModifiedBy>Łukasz Müller-Weiß</cp:lastModifiedBy>"
        "<cp:lastPrinted>2020-02-29T23:59:58Z</cp:lastPrinted>"
        "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2021-10-31T01:59:59Z</dcterms:modified>"
        "<cp:revision>17</cp:revision><dc:subject>Sujet: résumé des ventes</dc:subject>"
        "<dc:title>Quarterly review – Q3 “draft” &amp; notes</dc:title>");
    const std::string app =
        AppXml(std::string("<Template></Template><Manager>") + kPropertyDeckManager +
               "</Manager><TotalTime>123</TotalTime><Application>Velmora tests</Application>"
               "<Company>" +
               kPropertyDeckCompany + "</Company>");
    const std::string custom = CustomXml(CustomProperty(2, "Category", "<vt:lpwstr>Reports</vt:lpwstr>"));
    return Deck(core, app, custom);
}

PackageBuilder CoreOnlyDeck()
{
    return Deck(
        CoreXml("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-01-27T09:14:16Z</dcterms:created>"), "",
        "");
}

PackageBuilder PlainDeck()
{
    const std::string core = CoreXml(
        "<dc:title>Presentation</dc:title><dc:subject></dc:subject><dc:creator>Deck maker</dc:creator>"
        "<cp:lastModifiedBy>Steve</cp:lastModifiedBy><cp:revision>6</cp:revision>"
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2012-11-17T11:07:40Z</dcterms:created>"
        "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2013-11-04T06:38:12Z</dcterms:modified>");
    return Deck(core, AppXml("<TotalTime>5</TotalTime><Application>Velmora tests</Application>"), "");
}

} // namespace testsupport
