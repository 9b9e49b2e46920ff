// Registering a created property part in [Content_Types].xml and _rels/.rels.
#include "engine/parts/PropertyParts.h"
#include "engine/parts/WriteProperties.h"

#include <algorithm>
#include <set>

namespace engine {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// Part names compare as the Open Packaging Conventions compare them: ASCII letters without regard to
// case, '\' as '/', a leading '/' ignored.
std::string PartKey(std::string_view name)
{
    std::string key;
    for (const char c : name) {
        key += c == '\\' ? '/' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    while (!key.empty() && key.front() == '/') {
        key.erase(0, 1);
    }
    return key;
}

// A relationship target resolved against the package root, '.' and '..' segments normalised.
std::string ResolvedTarget(std::string_view target)
{
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= target.size()) {
        auto end = target.find('/', start);
        if (end == std::string_view::npos) {
            end = target.size();
        }
        const std::string_view segment = target.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.emplace_back(segment);
        }
        start = end + 1;
    }
    std::string joined;
    for (const auto& segment : segments) {
        joined += (joined.empty() ? "" : "/") + segment;
    }
    return PartKey(joined);
}

bool IsEntry(xml::TXMLNode node, std::string_view uri, std::string_view local)
{
    return node.type() == pugi::node_element && xml::TXMLDocument::LocalName(node) == local &&
           xml::TXMLDocument::NamespaceUri(node) == uri;
}

// The qualified name of a new entry in the root's namespace. The root normally binds it as the
// default namespace; otherwise a prefix bound to it (declared when missing) is used.
std::string EntryName(xml::TXMLDocument& doc, std::string_view uri, std::string_view local)
{
    const auto root = doc.DocumentElement();
    auto prefix = xml::TXMLDocument::FindPrefix(root, uri);
    if (!prefix) {
        std::string candidate = "pr";
        for (int n = 1; xml::TXMLDocument::IsPrefixDeclared(root, candidate); ++n) {
            candidate = "pr" + std::to_string(n);
        }
        doc.SetAttribute(root, "xmlns:" + candidate, std::string(uri));
        prefix = candidate;
    }
    return prefix->empty() ? std::string(local) : *prefix + ":" + std::string(local);
}

} // namespace

std::string RegisterContentTypeOverride(const std::string& contentTypesXml,
                                        std::string_view partName,
                                        std::string_view contentType)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(contentTypesXml.empty() ? std::string(kDeclaration) + "<Types xmlns=\"" +
                                                   std::string(kContentTypesNamespace) + "\"></Types>"
                                             : contentTypesXml);
    const auto root = doc.DocumentElement();
    const std::string key = PartKey(partName);
    for (auto child = root.first_child(); child; child = child.next_sibling()) {
        // An existing entry for the part is left as it is, whatever type it names: a second
        // Override for one part would make the file invalid.
        if (IsEntry(child, kContentTypesNamespace, "Override") &&
            PartKey(child.attribute("PartName").value()) == key) {
            return contentTypesXml;
        }
    }
    const auto entry = doc.AddChild(root, EntryName(doc, kContentTypesNamespace, "Override"));
    std::string written(partName);
    std::replace(written.begin(), written.end(), '\\', '/');
    written.erase(0, written.find_first_not_of('/'));
    doc.SetAttribute(entry, "PartName", "/" + written);
    doc.SetAttribute(entry, "ContentType", std::string(contentType));
    return doc.SaveToText();
}

std::string
RegisterPackageRelationship(const std::string& relsXml, std::string_view relType, std::string_view target)
{
    xml::TXMLDocument doc;
    doc.LoadFromText(relsXml.empty() ? std::string(kDeclaration) + "<Relationships xmlns=\"" +
                                           std::string(kRelationshipsNamespace) + "\"></Relationships>"
                                     : relsXml);
    const auto root = doc.DocumentElement();
    const std::string wanted = ResolvedTarget(target);
    std::set<std::string> ids;
    for (auto child = root.first_child(); child; child = child.next_sibling()) {
        if (!IsEntry(child, kRelationshipsNamespace, "Relationship")) {
            continue;
        }
        if (child.attribute("Type").value() == relType &&
            std::string_view(child.attribute("TargetMode").value()) != "External" &&
            ResolvedTarget(child.attribute("Target").value()) == wanted) {
            return relsXml;
        }
    }
    // Ids are unique within the file; any element's Id counts, recognised entry or not.
    for (auto node = root.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            ids.insert(node.attribute("Id").value());
        }
    }
    int n = 1;
    while (ids.count("rId" + std::to_string(n)) != 0) {
        ++n;
    }
    const auto entry = doc.AddChild(root, EntryName(doc, kRelationshipsNamespace, "Relationship"));
    doc.SetAttribute(entry, "Id", "rId" + std::to_string(n));
    doc.SetAttribute(entry, "Type", std::string(relType));
    doc.SetAttribute(entry, "Target", std::string(target));
    return doc.SaveToText();
}

} // namespace engine
