// Writes the generated seed corpora for the fuzzers into <folder>/<fuzzer>/: the hostile packages
// and sound variants for the archive and load/save fuzzers, property-part texts, date texts and
// name patterns. Real packages are added by scripts/fuzz.sh.
#include "support/HostilePackages.h"
#include "support/OfficePackages.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"
#include "support/Workbooks.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testsupport::PackageBuilder;

namespace {

void Write(const fs::path& folder, const std::string& name, const std::string& bytes)
{
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::pair<std::string, std::string>> Packages()
{
    using testsupport::AppXml;
    using testsupport::CoreXml;
    std::vector<std::pair<std::string, std::string>> packages;
    // The folder that hostile members with absolute names point into: a fresh one of this run,
    // removed once the seeds are written.
    const testsupport::TempDir sandbox;
    for (const testsupport::HostileCase& c : testsupport::HostilePackages()) {
        if (!c.large) {
            packages.emplace_back(c.name, c.build(sandbox.Path()));
        }
    }
    const std::string core = CoreXml("<dc:title>T</dc:title><dcterms:created xsi:type=\"dcterms:W3CDTF\">"
                                     "2013-05-06T07:08:09Z</dcterms:created>");
    const std::string app = AppXml("<Template>t.potx</Template><TotalTime>5</TotalTime><Company>C</Company>");
    packages.emplace_back("sound", PackageBuilder::Presentation(core, app).Build());
    packages.emplace_back("no_app", PackageBuilder::Presentation(core, "").Build());
    packages.emplace_back("no_parts", PackageBuilder::Presentation("", "").Build());
    PackageBuilder zip64 = PackageBuilder::Presentation(core, app);
    packages.emplace_back("zip64", zip64.ForceZip64().Build());
    PackageBuilder described;
    PackageBuilder::Entry entry;
    entry.name = "docProps/core.xml";
    entry.content = core;
    entry.dataDescriptor = true;
    described.Add(entry).Add("docProps/app.xml", app, PackageBuilder::Method::Stored);
    packages.emplace_back("data_descriptor", described.ArchiveComment("comment").Build());
    return packages;
}

std::vector<std::string> PartTexts()
{
    using testsupport::AppXml;
    using testsupport::CoreXml;
    return {
        "0" +
            CoreXml("<dc:title>T</dc:title><dc:subject>S</dc:subject><dc:creator>C</dc:creator>"
                    "<cp:keywords>K</cp:keywords><dc:description>D</dc:description>"
                    "<cp:lastModifiedBy>L</cp:lastModifiedBy><cp:revision>3</cp:revision>"
                    "<cp:lastPrinted>2012-01-02T03:04:05Z</cp:lastPrinted>"
                    "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-05-06T07:08:09+02:00</dcterms:created>"
                    "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">2013-05-06 07:08</dcterms:modified>"
                    "<cp:category>c</cp:category><cp:contentType>t</cp:contentType>"
                    "<cp:contentStatus>s</cp:contentStatus>"),
        "0" + CoreXml("<dc:title/><dc:title></dc:title><dc:title><![CDATA[x]]></dc:title><!--c--><?pi?>"),
        "0<a:core xmlns:a=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:d=\"http://purl.org/dc/elements/1.1/\"><d:title>x<b>y</b></d:title><a:revision>1</a:revision>"
        "<undeclared:title>z</undeclared:title></a:core>",
        "0<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e \"v\">]><r><dc:title>&e;&amp;&#x41;</dc:title></r>",
        "1" + AppXml("<Template>Normal</Template><TotalTime>125</TotalTime><Company>A &amp; B</Company>"
                     "<Manager>M</Manager>"),
        "1<ap:Properties xmlns:ap=\"http://purl.oclc.org/ooxml/officeDocument/extendedProperties\">"
        "<ap:Company>Strict</ap:Company></ap:Properties>",
        "1\xef\xbb\xbf<Properties "
        "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\"/>",
        // Each refused by a conforming parser, and once read by the service.
        "1" + AppXml("<!-- a -- b -->"),
        "1" + AppXml("") + "<!-- c --->",
        "1" + AppXml("") + ">4-->",
        "1\n <?xml version=\"1.0\"?>" + AppXml(""),
        "1<?xml version=\"1.0\"?><?xml version=\"1.0\"?>" + AppXml(""),
        "1" + AppXml("<Company>a ]]> b</Company>"),
        "1" + AppXml("<Company a=\"x<y\">c</Company>"),
        "1" + AppXml("") + "<!DOCTYPE Properties>",
        "1<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + AppXml("<Company>ascii</Company>"),
        "2" + testsupport::CustomXml(
                  testsupport::CustomProperty(2, "T", "<vt:lpwstr>a &amp; b</vt:lpwstr>") +
                  testsupport::CustomProperty(3, "I", "<vt:i4>5</vt:i4>") +
                  testsupport::CustomProperty(3, "D", "<vt:filetime>2013-05-06T07:08:09Z</vt:filetime>") +
                  testsupport::CustomProperty(
                      9, "V", "<vt:vector size=\"1\" baseType=\"i4\"><vt:i4>1</vt:i4></vt:vector>") +
                  testsupport::CustomProperty(-1, "B", "<vt:bool>0</vt:bool>")),
        "2<c:Properties xmlns:c=\"http://purl.oclc.org/ooxml/officeDocument/customProperties\" "
        "xmlns:vt=\"urn:not-vt\"><c:property pid=\"x\" "
        "name=\"S\"><vt:lpwstr>s</vt:lpwstr></c:property></c:Properties>",
    };
}

// Thumbnail inputs: whole packages (first byte '0') and relationships parts ('1').
std::vector<std::string> ThumbnailInputs()
{
    using testsupport::ThumbnailRel;
    std::vector<std::string> inputs = {
        "0" + testsupport::ThumbnailPackage(ThumbnailRel("docProps/thumbnail.jpeg"))
                  .Add("docProps/thumbnail.jpeg", testsupport::PictureBytes(2000))
                  .Build(),
    };
    std::vector<testsupport::HostileCase> hostile;
    testsupport::AddHostileThumbnailCases(hostile);
    const testsupport::TempDir sandbox;
    for (const testsupport::HostileCase& c : hostile) {
        const std::string bytes = c.build(sandbox.Path());
        if (bytes.size() < (1U << 20)) {
            inputs.push_back("0" + bytes);
        }
    }
    const std::string head = "<?xml version=\"1.0\"?><Relationships "
                             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const std::string& rels :
         {ThumbnailRel("docProps/thumbnail.jpeg"), ThumbnailRel("/media/./x/../Thumb.PNG", "", true),
          ThumbnailRel("a%20b/c.wmf") + ThumbnailRel("a b\\c.wmf"),
          ThumbnailRel("../docProps/thumbnail.jpeg"), ThumbnailRel("file:///etc/passwd"),
          ThumbnailRel("//host/share", " TargetMode=\"Internal\""), ThumbnailRel("_rels/.rels")}) {
        inputs.push_back("1" + head + rels + "</Relationships>");
    }
    return inputs;
}

// Import tables: CSV texts (first byte '0') and workbooks ('1').
std::vector<std::string> ImportTables()
{
    std::vector<std::string> tables = {
        "0FileName,FullPath,FileSize,Title,Revision,CreatedTime\r\na.pptx,a.pptx,1,\"x, "
        "\"\"y\"\"\",3,2020-01-02 03:04:05\r\n",
        "0\xEF\xBB\xBF"
        "Full Path;Title;TotalEditTime(second)\n/d/a.pptx;\"two\nlines\";12\n",
        "0Velmora\n     File Name,Title\nb.pptx,\n",
    };
    tables.push_back(
        "1" +
        testsupport::Workbook("<row><c t=\"s\"><v>0</v></c><c t=\"inlineStr\"><is><t>Title</t></is></c></row>"
                              "<row><c t=\"s\"><v>1</v></c><c s=\"1\"><v>43831.5</v></c></row>",
                              "<si><t>FullPath</t></si><si><r><t>a.pp</t></r><r><t>tx</t></r></si>")
            .Build());
    for (const testsupport::HostileWorkbook& workbook : testsupport::HostileWorkbooks()) {
        const std::string bytes = workbook.build();
        if (bytes.size() < (1U << 20)) {
            tables.push_back("1" + bytes);
        }
    }
    return tables;
}

std::vector<std::string> DateTexts()
{
    std::vector<std::string> dates;
    for (const char* d :
         {"2013-05-06T07:08:09Z", "2013-05-06T07:08:09.123Z", "2013-05-06T07:08:09+02:00", "2013-05-06 07:08",
          "2013-05-06T07:08:09-0330", "2013-05-06", "2013-02-29T00:00:00Z", "2012-02-29T23:59:59Z",
          "0001-01-01T00:00:00Z", "9999-12-31T23:59:59Z", "1601-01-01T00:00:00Z", "2013-03-31 02:30:00",
          "2013-10-27 02:30:00", "2013-05-06T24:00:00Z", "2013-05-06t07:08:09z",
          "2013-05-06T07:08:09+23:59"}) {
        for (char zone = 0; zone < 5; ++zone) {
            dates.push_back(std::string(1, zone) + d);
        }
    }
    return dates;
}

std::vector<std::string> Patterns()
{
    using namespace std::string_literals;
    return {"*.*\0ppt\\slides\\slide1.xml"s,
            "*.*\0mimetype"s,
            "*\0"s,
            "[content_types].xml\0[Content_Types].xml"s,
            "*.XML\0ppt/slides/slide1.xml"s,
            "<a-c>?<!x>*\0bzy.q"s,
            "*a*a*a*a*a*b\0aaaaaaaaaaaaaaaaaaaaaaaa"s,
            "*<^.>*.*\0dir/file.ext"s,
            "<abc\0a"s,
            "|>*.x\0y.x"s};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    for (const auto& [name, bytes] : Packages()) {
        Write(root / "fuzz_archive_reader", name + ".zip", bytes);
        Write(root / "fuzz_load_save", name + ".zip", bytes);
    }
    int i = 0;
    for (const std::string& text : PartTexts()) {
        Write(root / "fuzz_property_readers", "part" + std::to_string(i), text);
        Write(root / "fuzz_xml_conformance", "part" + std::to_string(i++), text);
    }
    i = 0;
    for (const std::string& text : ImportTables()) {
        Write(root / "fuzz_import_table", "table" + std::to_string(i++), text);
    }
    i = 0;
    for (const std::string& input : ThumbnailInputs()) {
        Write(root / "fuzz_thumbnail_reader", "thumbnail" + std::to_string(i++), input);
    }
    i = 0;
    for (const std::string& text : DateTexts()) {
        Write(root / "fuzz_date_parser", "date" + std::to_string(i++), text);
    }
    i = 0;
    for (const std::string& text : Patterns()) {
        Write(root / "fuzz_wildcard_match", "pattern" + std::to_string(i++), text);
    }
    return 0;
}
