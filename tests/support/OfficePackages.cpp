#include "support/OfficePackages.h"

#include <map>
#include <stdexcept>

namespace testsupport {

namespace {

struct MainPart
{
    std::string Name;
    std::string ContentType;
    std::string Xml;
};

MainPart MainPartOf(const std::string& kind)
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    if (kind == "docx") {
        return {"word/document.xml",
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
                declaration +
                    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                    "<w:body><w:p><w:r><w:t>Body text</w:t></w:r></w:p></w:body></w:document>"};
    }
    if (kind == "xlsx") {
        return {"xl/workbook.xml",
                "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
                declaration + "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                              "<sheets><sheet name=\"One\" sheetId=\"1\"/></sheets></workbook>"};
    }
    if (kind == "pptx") {
        return {
            "ppt/presentation.xml",
            "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml",
            declaration +
                "<p:presentation xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"/>"};
    }
    throw std::invalid_argument("no package kind " + kind);
}

} // namespace

PackageBuilder OfficePackage(const std::string& kind,
                             const std::string& coreXml,
                             const std::string& appXml,
                             const std::string& customXml,
                             bool signedPackage)
{
    const MainPart main = MainPartOf(kind);
    std::string types = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" "
                        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                        "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"
                        "<Default Extension=\"png\" ContentType=\"image/png\"/>"
                        "<Override PartName=\"/" +
                        main.Name + "\" ContentType=\"" + main.ContentType + "\"/>";
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"" +
        main.Name + "\"/>";
    const std::map<std::string, std::string> relTypes = {
        {"docProps/core.xml",
         "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"},
        {"docProps/app.xml",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties"},
        {"docProps/custom.xml",
         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties"},
    };
    const std::map<std::string, std::string> contentTypes = {
        {"docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
        {"docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml"},
        {"docProps/custom.xml", "application/vnd.openxmlformats-officedocument.custom-properties+xml"},
    };
    PackageBuilder builder;
    std::vector<std::pair<std::string, std::string>> parts = {
        {"docProps/core.xml", coreXml}, {"docProps/app.xml", appXml}, {"docProps/custom.xml", customXml}};
    int id = 2;
    for (const auto& [name, xml] : parts) {
        if (xml.empty()) {
            continue;
        }
        types += "<Override PartName=\"/" + name + "\" ContentType=\"" + contentTypes.at(name) + "\"/>";
        rels += "<Relationship Id=\"rId" + std::to_string(id++) + "\" Type=\"" + relTypes.at(name) +
                "\" Target=\"" + name + "\"/>";
    }
    if (signedPackage) {
        types += "<Override PartName=\"/_xmlsignatures/origin.sigs\" "
                 "ContentType=\"application/vnd.openxmlformats-package.digital-signature-origin\"/>";
        rels +=
            "<Relationship Id=\"rId9\" "
            "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/origin\" "
            "Target=\"_xmlsignatures/origin.sigs\"/>";
    }
    builder.Add("[Content_Types].xml", types + "</Types>");
    builder.Add("_rels/.rels", rels + "</Relationships>");
    builder.Add(main.Name, main.Xml + std::string(400, ' '));
    std::string macro = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    for (int i = 0; i < 300; ++i) {
        macro += static_cast<char>(i * 37 % 256);
    }
    builder.Add("word/vbaProject.bin", macro);
    builder.Add("media/image1.png", "\x89PNG\r\n\x1A\n" + std::string(200, '\x01'),
                PackageBuilder::Method::Stored);
    if (signedPackage) {
        builder.Add("_xmlsignatures/origin.sigs", "");
        builder.Add("_xmlsignatures/sig1.xml", "<Signature xmlns=\"http://www.w3.org/2000/09/xmldsig#\"/>");
    }
    for (const auto& [name, xml] : parts) {
        if (!xml.empty()) {
            builder.Add(name, xml);
        }
    }
    return builder;
}

std::string CustomXml(const std::string& properties)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
           "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">" +
           properties + "</Properties>";
}

std::string CustomProperty(int pid, const std::string& name, const std::string& valueXml)
{
    return "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"" + std::to_string(pid) +
           "\" name=\"" + name + "\">" + valueXml + "</property>";
}

} // namespace testsupport
