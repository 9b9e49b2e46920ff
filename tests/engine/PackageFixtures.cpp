#include "PackageFixtures.h"

#include "archive/TArchiveReader.h"

#include <stdexcept>

namespace engine::fixtures {

testsupport::PackageBuilder Package(const std::string& rels,
                                    const std::string& coreName,
                                    const std::string& coreXml,
                                    const std::string& appName,
                                    const std::string& appXml)
{
    testsupport::PackageBuilder builder;
    builder.Add(
        "[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/></Types>");
    if (!rels.empty()) {
        builder.Add("_rels/.rels", rels);
    }
    builder.Add("ppt/presentation.xml", "<p:presentation xmlns:p=\"urn:p\"/>" + std::string(600, ' '));
    if (!coreXml.empty()) {
        builder.Add(coreName, coreXml);
    }
    if (!appXml.empty()) {
        builder.Add(appName, appXml);
    }
    return builder;
}

std::string Rels(const std::string& relationships)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           relationships + "</Relationships>";
}

std::string CoreRel(const std::string& id, const std::string& target, bool alternate)
{
    const std::string type =
        alternate
            ? "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties"
            : "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
    return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string MemberText(const std::filesystem::path& package, const std::string& name)
{
    archive::TArchiveReader reader;
    reader.ZipName = package;
    reader.OpenDirectory();
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        if (reader.Member(i).Name == name) {
            return reader.ExtractToMemory(reader.Member(i), 1 << 24);
        }
    }
    throw std::runtime_error("no member " + name);
}

} // namespace engine::fixtures
