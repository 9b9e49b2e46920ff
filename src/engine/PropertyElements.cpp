#include "engine/PropertyElements.h"

#include "engine/DateConvert.h"
#include "engine/DocumentRecord.h"
#include "engine/PropertyParts.h"

namespace engine {

std::optional<std::size_t> PropertyOfElement(xml::TXMLNode element, bool corePart)
{
    if (element.type() != pugi::node_element) {
        return std::nullopt;
    }
    const std::string uri = xml::TXMLDocument::NamespaceUri(element);
    const std::string local = xml::TXMLDocument::LocalName(element);
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
        if (auto local = StoredDateToLocalText(stored)) {
            return std::move(*local);
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

} // namespace engine
