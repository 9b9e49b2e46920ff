#include "support/HostileCustomParts.h"

#include "support/OfficePackages.h"
#include "support/TempDir.h"

#include <string>

namespace testsupport {

namespace {

namespace fs = std::filesystem;

// A sound presentation (Title "Safe", Company "Acme") with the given custom part.
HostileCase::Builder WithCustomPart(std::string customXml)
{
    return [customXml](const fs::path&) {
        return OfficePackage("pptx", CoreXml("<dc:title>Safe</dc:title>"), AppXml("<Company>Acme</Company>"),
                             customXml)
            .Build();
    };
}

HostileCase CustomCase(std::string name, HostileCase::Builder build)
{
    HostileCase hostile(std::move(name), std::move(build), false, {"Safe"});
    hostile.editCustom = true;
    return hostile;
}

std::string Lpwstr(const std::string& text)
{
    return "<vt:lpwstr>" + text + "</vt:lpwstr>";
}

// A custom part whose prolog holds the given document type declaration.
std::string WithDoctype(const std::string& doctype, const std::string& properties)
{
    std::string xml = CustomXml(properties);
    return xml.insert(xml.find("?>") + 2, doctype);
}

} // namespace

void AddHostileCustomPartCases(std::vector<HostileCase>& cases)
{
    cases.push_back(CustomCase(
        "custom_huge_name", WithCustomPart(CustomXml(CustomProperty(2, Repeat("n", 500000), Lpwstr("v"))))));
    HostileCase many = CustomCase("custom_100000_properties", [](const fs::path&) {
        std::string properties;
        for (int pid = 2; pid < 100002; ++pid) {
            properties += CustomProperty(pid, "p" + std::to_string(pid), Lpwstr(std::to_string(pid)));
        }
        return OfficePackage("pptx", CoreXml("<dc:title>Safe</dc:title>"), "", CustomXml(properties)).Build();
    });
    many.large = true;
    cases.push_back(many);
    cases.push_back(CustomCase(
        "custom_duplicate_and_odd_pids",
        WithCustomPart(
            CustomXml(CustomProperty(2, "a", Lpwstr("1")) + CustomProperty(2, "b", Lpwstr("2")) +
                      CustomProperty(2147483647, "c", Lpwstr("3")) + CustomProperty(-5, "d", Lpwstr("4")) +
                      "<property pid=\"99999999999999999999999\" name=\"e\">" + Lpwstr("5") +
                      "</property><property pid=\"x\" name=\"Reviewed\">" + Lpwstr("old") + "</property>"))));
    cases.push_back(CustomCase(
        "custom_unknown_value_types",
        WithCustomPart(CustomXml(
            CustomProperty(2, "blob", "<vt:blob>AAECAw==</vt:blob>") +
            CustomProperty(3, "vec",
                           "<vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:i4>1</vt:i4>"
                           "</vt:variant><vt:variant>" +
                               Lpwstr("x") + "</vt:variant></vt:vector>") +
            CustomProperty(4, "foreign", "<x:thing xmlns:x=\"urn:x\">t</x:thing>") +
            CustomProperty(5, "nested", "<vt:lpwstr>a<vt:i4>1</vt:i4>b</vt:lpwstr>") +
            CustomProperty(6, "two", "<vt:i4>1</vt:i4><vt:i4>2</vt:i4>") + CustomProperty(7, "none", "") +
            CustomProperty(8, "date", "<vt:filetime>not a date</vt:filetime>")))));
    const std::string laughs = "<!DOCTYPE Properties [<!ENTITY a \"" + Repeat("x", 1000) +
                               "\"><!ENTITY b \"" + Repeat("&a;", 1000) + "\">]>";
    cases.push_back(
        CustomCase("custom_billion_laughs",
                   WithCustomPart(WithDoctype(laughs, CustomProperty(2, "boom", Lpwstr("&b;"))))));
    HostileCase external = CustomCase(
        "custom_external_entity",
        WithCustomPart(WithDoctype("<!DOCTYPE Properties [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>",
                                   CustomProperty(2, "leak", Lpwstr("&xxe;")))));
    external.forbiddenText = "root:";
    cases.push_back(external);
    cases.push_back(
        CustomCase("custom_escaped_references",
                   WithCustomPart(CustomXml(CustomProperty(2, "&amp;lt;n&#x3E;", Lpwstr("&#38;amp; &#60;")) +
                                            CustomProperty(3, "&#xD;&#9;", Lpwstr("&#xD;&#xA;"))))));
    cases.push_back(CustomCase("custom_relationship_leads_to_core_part", [](const fs::path&) {
        // The package relationships name the core part as the custom properties part too.
        const std::string rels =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
            "Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
            "Target=\"docProps/core.xml\"/><Relationship Id=\"rId2\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties\" "
            "Target=\"/docProps/../docProps/core.xml\"/></Relationships>";
        PackageBuilder builder;
        builder.Add("[Content_Types].xml",
                    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                    "content-types\"><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                    "</Types>");
        builder.Add("_rels/.rels", rels);
        builder.Add("ppt/presentation.xml", "<p/>" + std::string(600, ' '));
        builder.Add("docProps/core.xml", CoreXml("<dc:title>Safe</dc:title>"));
        return builder.Build();
    }));
}

} // namespace testsupport
