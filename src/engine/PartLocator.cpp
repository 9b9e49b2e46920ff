#include "engine/PartLocator.h"

#include "engine/CustomPropertiesPart.h"
#include "engine/PropertyParts.h"
#include "xml/TXMLDocument.h"

namespace engine {

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SamePartName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] == '\\' ? '/' : LowerAscii(a[i]);
        const char y = b[i] == '\\' ? '/' : LowerAscii(b[i]);
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string_view WithoutLeadingSlash(std::string_view name)
{
    while (!name.empty() && (name.front() == '/' || name.front() == '\\')) {
        name.remove_prefix(1);
    }
    return name;
}

} // namespace

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
    partName = WithoutLeadingSlash(partName);
    const archive::TZipHeaderInfo* found = nullptr;
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        const archive::TZipHeaderInfo& member = reader.Member(i);
        if (member.IsDirectory() || !SamePartName(WithoutLeadingSlash(member.Name), partName)) {
            continue;
        }
        if (member.StoredName == partName) {
            return &member;
        }
        found = &member; // the last in archive order wins among inexact matches
    }
    return found;
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
