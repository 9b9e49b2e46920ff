#include "engine/parts/PartLocator.h"

#include "engine/parts/CustomPropertiesPart.h"
#include "engine/parts/PropertyParts.h"
#include "xml/TXMLDocument.h"

namespace engine {

std::vector<PackageRelationship> ParsePackageRelationships(const std::string& relsXml)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(relsXml);
    std::vector<PackageRelationship> rels;
    for (xml::TXMLNode child : doc.DocumentElement().children()) {
        if (child.type() != pugi::node_element || xml::TXMLDocument::LocalName(child) != "Relationship" ||
            xml::TXMLDocument::NamespaceUri(child) != kRelationshipsNamespace) {
            continue;
        }
        rels.push_back(PackageRelationship{child.attribute("Id").value(), child.attribute("Type").value(),
                                           child.attribute("Target").value(),
                                           child.attribute("TargetMode").value()});
    }
    return rels;
}

std::string ResolveRelationshipTarget(std::string_view target)
{
    std::vector<std::string_view> segments;
    while (true) {
        const std::size_t cut = target.find_first_of("/\\");
        const std::string_view segment = target.substr(0, cut);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        if (cut == std::string_view::npos) {
            break;
        }
        target.remove_prefix(cut + 1);
    }
    std::string name;
    for (std::string_view segment : segments) {
        if (!name.empty()) {
            name += '/';
        }
        name += segment;
    }
    return name;
}

const archive::TZipHeaderInfo* FindPart(const archive::TArchiveReader& reader, std::string_view partName)
{
    return reader.FindMember(partName);
}

const archive::TZipHeaderInfo* LocatePart(const archive::TArchiveReader& reader,
                                          const std::optional<std::vector<PackageRelationship>>& rels,
                                          const std::array<std::string_view, 2>& relationshipTypes,
                                          std::string_view fallbackName)
{
    if (rels) {
        for (std::string_view type : relationshipTypes) {
            for (const PackageRelationship& rel : *rels) {
                if (rel.Type != type || rel.TargetMode == "External") {
                    continue;
                }
                if (const archive::TZipHeaderInfo* member =
                        FindPart(reader, ResolveRelationshipTarget(rel.Target))) {
                    return member;
                }
            }
        }
    }
    return FindPart(reader, fallbackName);
}

PropertyPartLocation LocatePropertyParts(archive::TArchiveReader& reader)
{
    std::optional<std::vector<PackageRelationship>> rels;
    if (const archive::TZipHeaderInfo* member = FindPart(reader, kPackageRelsName)) {
        try {
            rels = ParsePackageRelationships(reader.ExtractToMemory(*member, kMaxPartBytes));
        } catch (const std::exception&) {
            // A damaged or malformed relationships part is not a failure of the package's
            // properties: the parts are then looked up by their usual names.
        }
    }
    return PropertyPartLocation{LocatePart(reader, rels, kCoreRelationshipTypes, kCorePartName),
                                LocatePart(reader, rels, kAppRelationshipTypes, kAppPartName),
                                LocatePart(reader, rels, kCustomRelationshipTypes, kCustomPartName)};
}

} // namespace engine
