#include "engine/parts/PropertyElements.h"

#include "engine/parts/PropertyParts.h"
#include "engine/parts/WriteProperties.h"
#include "engine/record/DateConvert.h"
#include "engine/record/DocumentRecord.h"

namespace engine {

std::optional<std::size_t> PropertyOfElement(xml::TXMLNode element, bool corePart)
{
    if (element.type() != pugi::node_element) {
        return std::nullopt;
    }
    const std::string_view uri = xml::TXMLDocument::NamespaceUri(element);
    const std::string_view local = xml::TXMLDocument::LocalName(element);
    if (corePart) {
        return CorePropertyOf(uri, local);
    }
    const auto index = AppPropertyOf(uri, local);
    return index ? std::optional<std::size_t>(kCoreCount + *index) : std::nullopt;
}

std::string ShownText(std::size_t p, std::string stored)
{
    // A date that is not a full date-time is shown as stored.
    if (IsDateProperty(p) && !stored.empty()) {
        if (auto text = StoredDateToRecordText(stored)) {
            return std::move(*text);
        }
    }
    return stored;
}

std::optional<std::string> ShownValue(xml::TXMLNode root, std::size_t p)
{
    std::optional<std::string> shown;
    for (auto child = root.first_child(); child; child = child.next_sibling()) {
        if (child.first_child() && PropertyOfElement(child, p < kCoreCount) == p) {
            shown = ShownText(p, xml::TXMLDocument::NodeText(child.first_child()));
        }
    }
    return shown;
}

bool HasCoreChanges(const DocumentRecord& record)
{
    for (std::size_t p = 0; p < kCoreCount; ++p) {
        if (record.Changed(p)) {
            return true;
        }
    }
    return false;
}

bool HasAppChanges(const DocumentRecord& record)
{
    for (std::size_t p = kCoreCount; p < kPropertyCount; ++p) {
        if (record.Changed(p)) {
            return true;
        }
    }
    return false;
}

std::vector<xml::TXMLNode> FindChildElements(std::string_view name, xml::TXMLNode root)
{
    std::vector<xml::TXMLNode> found;
    std::optional<std::size_t> p;
    if (const int core = IndexOfName(name, CoreElementNames); core >= 0) {
        p = static_cast<std::size_t>(core);
    } else if (const int app = IndexOfName(name, AppElementNames); app >= 0) {
        p = kCoreCount + static_cast<std::size_t>(app);
    }
    if (!p) {
        return found;
    }
    for (auto child = root.first_child(); child; child = child.next_sibling()) {
        if (PropertyOfElement(child, *p < kCoreCount) == p) {
            found.push_back(child);
        }
    }
    return found;
}

xml::TXMLNode FindChildElement(std::string_view name, xml::TXMLNode root)
{
    const auto found = FindChildElements(name, root);
    return found.empty() ? xml::TXMLNode() : found.front();
}

} // namespace engine
