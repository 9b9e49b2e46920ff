#include "engine/parts/CustomPropertiesPart.h"

#include "engine/parts/PartLocator.h"
#include "engine/parts/PropertyParts.h"
#include "engine/parts/WriteProperties.h"
#include "engine/record/DateConvert.h"
#include "xml/TXMLDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>

namespace engine {
namespace {

using xml::TXMLDocument;
using xml::TXMLNode;

std::string NewCustomPart()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Properties xmlns=\"" +
           std::string(kCustomNamespace) + "\" xmlns:vt=\"" + std::string(kVtNamespace) + "\"></Properties>";
}

// The root of a custom properties part; throws when the part is something else, so that nothing is
// read from or written into a part of another kind.
TXMLNode CustomRoot(const TXMLDocument& doc, bool& strict)
{
    const TXMLNode root = doc.DocumentElement();
    const std::string uri(TXMLDocument::NamespaceUri(root));
    if (TXMLDocument::LocalName(root) != "Properties" ||
        (uri != kCustomNamespace && uri != kCustomStrictNamespace)) {
        throw xml::EXmlError("the root element <" + std::string(root.name()) +
                             "> is not that of a custom properties part");
    }
    strict = uri == kCustomStrictNamespace;
    return root;
}

bool IsPropertyElement(TXMLNode node, TXMLNode root)
{
    return node.type() == pugi::node_element && TXMLDocument::LocalName(node) == "property" &&
           TXMLDocument::NamespaceUri(node) == TXMLDocument::NamespaceUri(root);
}

TXMLNode ValueElement(TXMLNode property)
{
    for (TXMLNode child = property.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            return child;
        }
    }
    return {};
}

bool HasElementChild(TXMLNode node)
{
    for (TXMLNode child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            return true;
        }
    }
    return false;
}

// "vt:" + the local name for the value types, whatever prefix the part uses; the qualified name as
// written for anything else.
std::string TypeOf(TXMLNode value)
{
    const std::string uri(TXMLDocument::NamespaceUri(value));
    if (uri == kVtNamespace || uri == kVtStrictNamespace) {
        return "vt:" + std::string(TXMLDocument::LocalName(value));
    }
    return value.name();
}

std::string ShownCustomValue(const std::string& type, TXMLNode value)
{
    if (!value || (KindOfType(type) == CustomKind::Other && HasElementChild(value))) {
        return {}; // vectors, arrays and blobs are kept, not shown
    }
    const std::string text = TXMLDocument::NodeText(value);
    switch (KindOfType(type)) {
    case CustomKind::Date:
        return StoredDateToRecordText(text).value_or(text);
    case CustomKind::Bool:
        return text == "1" || text == "true" ? "true" : text == "0" || text == "false" ? "false" : text;
    default:
        return text;
    }
}

std::string StoredCustomValue(const CustomProperty& item)
{
    if (KindOfType(item.Type) != CustomKind::Date) {
        return item.Value;
    }
    const auto stored = RecordDateToStoredDate(item.Value);
    if (!stored) {
        throw EPropertyWriteError(item.Name + ": \"" + item.Value +
                                  "\" is not a valid local date and time (YYYY-MM-DD hh:mm:ss)");
    }
    return *stored;
}

std::string TypeLocalName(const std::string& type)
{
    return type.rfind("vt:", 0) == 0 ? type.substr(3) : type;
}

class CustomPartEditor
{
public:
    explicit CustomPartEditor(TXMLDocument& doc)
        : m_doc(doc)
    {
        bool strict = false;
        m_root = CustomRoot(doc, strict);
        m_vtNamespace = strict ? kVtStrictNamespace : kVtNamespace;
    }

    void Remove(const std::string& name)
    {
        for (TXMLNode node : Properties()) {
            if (SameCustomName(node.attribute("name").value(), name)) {
                m_doc.RemoveChild(m_root, node);
            }
        }
    }

    void Set(const CustomProperty& item)
    {
        CheckStorableText(item.Name, item.Name);
        const std::string stored = StoredCustomValue(item);
        CheckStorableText(item.Name, stored);
        TXMLNode property;
        for (TXMLNode node : Properties()) {
            if (SameCustomName(node.attribute("name").value(), item.Name)) {
                property = node;
                break;
            }
        }
        if (!property) {
            property = AddProperty(item.Name);
        }
        while (TXMLNode child = property.first_child()) {
            m_doc.RemoveChild(property, child);
        }
        const std::string vt = PrefixFor(m_doc, m_vtNamespace, "vt");
        const TXMLNode value = m_doc.AddChild(property, vt + ":" + TypeLocalName(item.Type));
        if (!stored.empty()) {
            m_doc.SetText(value, stored);
        }
    }

private:
    std::vector<TXMLNode> Properties() const
    {
        std::vector<TXMLNode> nodes;
        for (TXMLNode child = m_root.first_child(); child; child = child.next_sibling()) {
            if (IsPropertyElement(child, m_root)) {
                nodes.push_back(child);
            }
        }
        return nodes;
    }

    // A pid names the property inside its set; the first unused one from 2 (0 and 1 are reserved).
    std::int64_t NextPid() const
    {
        std::set<std::int64_t> used;
        for (TXMLNode node : Properties()) {
            const std::string_view text = node.attribute("pid").value();
            std::int64_t pid = 0;
            if (std::from_chars(text.data(), text.data() + text.size(), pid).ec == std::errc()) {
                used.insert(pid);
            }
        }
        std::int64_t pid = 2;
        while (used.count(pid) != 0) {
            ++pid;
        }
        return pid;
    }

    TXMLNode AddProperty(const std::string& name)
    {
        const std::string prefix = TXMLDocument::Prefix(m_root);
        const std::string pid = std::to_string(NextPid());
        const TXMLNode property = m_doc.AddChild(m_root, prefix.empty() ? "property" : prefix + ":property");
        m_doc.SetAttribute(property, "fmtid", std::string(kCustomFmtid));
        m_doc.SetAttribute(property, "pid", pid);
        m_doc.SetAttribute(property, "name", name);
        return property;
    }

    TXMLDocument& m_doc;
    TXMLNode m_root;
    std::string_view m_vtNamespace;
};

} // namespace

void ReadCustomPropertiesXml(DocumentRecord& record, const std::string& xmlText)
{
    TXMLDocument doc;
    doc.LoadFromText(xmlText);
    bool strict = false;
    const TXMLNode root = CustomRoot(doc, strict);
    std::vector<CustomProperty> items;
    for (TXMLNode child = root.first_child(); child; child = child.next_sibling()) {
        if (!IsPropertyElement(child, root) || !child.attribute("name")) {
            continue; // a property without a name cannot be shown or addressed
        }
        const TXMLNode value = ValueElement(child);
        std::string type = value ? TypeOf(value) : std::string();
        std::string shown = ShownCustomValue(type, value);
        items.push_back(
            CustomProperty{child.attribute("name").value(), std::move(type), std::move(shown), false});
    }
    record.Custom.Items = std::move(items);
}

void ReadCustomPart(archive::TArchiveReader& reader,
                    const archive::TZipHeaderInfo* member,
                    DocumentRecord& record)
{
    if (member == nullptr) {
        return;
    }
    try {
        ReadCustomPropertiesXml(record, reader.ExtractToMemory(*member, kMaxPartBytes));
    } catch (const std::exception& e) {
        record.Custom.Error = member->Name + ": " + e.what();
    }
}

std::string WriteCustomPropertiesXml(const DocumentRecord& record, const std::string& existingXml)
{
    const CustomProperties& custom = record.Custom;
    const bool anySet = std::any_of(custom.Items.begin(), custom.Items.end(),
                                    [](const CustomProperty& item) { return item.Changed; });
    if (!HasCustomChanges(record) || (existingXml.empty() && !anySet)) {
        return existingXml;
    }
    TXMLDocument doc;
    doc.LoadFromText(existingXml.empty() ? NewCustomPart() : existingXml);
    CustomPartEditor editor(doc);
    for (const std::string& name : custom.Removed) {
        editor.Remove(name);
    }
    for (const CustomProperty& item : custom.Items) {
        if (item.Changed) {
            editor.Set(item);
        }
    }
    return doc.SaveToText();
}

} // namespace engine
