// Node queries and edits of TXMLDocument.
#include "xml/TXMLDocument.h"

#include <cstring>

namespace xml {
namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

// Line ends are kept as written in the tree; readers get them as an XML parser reports them.
std::string NormalisedLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

// Text and CDATA of all descendants in document order; pugixml walks without recursion, so a deeply
// nested element cannot exhaust the stack.
struct TextCollector : pugi::xml_tree_walker
{
    std::string text;

    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
        }
        return true;
    }
};

std::string DeclarationName(std::string_view prefix)
{
    return prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
}

} // namespace

std::size_t TXMLDocument::ChildCount(TXMLNode node)
{
    std::size_t count = 0;
    for (auto child = node.first_child(); child; child = child.next_sibling()) {
        ++count;
    }
    return count;
}

TXMLNode TXMLDocument::ChildNode(TXMLNode node, std::size_t index)
{
    auto child = node.first_child();
    for (; child && index > 0; --index) {
        child = child.next_sibling();
    }
    return child;
}

std::string TXMLDocument::NodeName(TXMLNode node)
{
    switch (node.type()) {
    case pugi::node_element:
    case pugi::node_pi:
    case pugi::node_declaration:
        return node.name();
    case pugi::node_pcdata:
        return "#text";
    case pugi::node_cdata:
        return "#cdata-section";
    case pugi::node_comment:
        return "#comment";
    case pugi::node_doctype:
        return "#doctype";
    case pugi::node_document:
        return "#document";
    case pugi::node_null:
        break;
    }
    return {};
}

std::string TXMLDocument::NodeText(TXMLNode node)
{
    switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
        return NormalisedLineEnds(node.value());
    case pugi::node_element: {
        TextCollector collector;
        node.traverse(collector);
        return NormalisedLineEnds(collector.text);
    }
    default:
        return {};
    }
}

std::string TXMLDocument::Prefix(TXMLNode element)
{
    const std::string_view name = element.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon));
}

std::string_view TXMLDocument::LocalName(TXMLNode element)
{
    const std::string_view name = element.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view TXMLDocument::NamespaceUri(TXMLNode element)
{
    if (element.type() != pugi::node_element) {
        return {};
    }
    const std::string_view name = element.name();
    const auto colon = name.find(':');
    if (colon == std::string_view::npos) {
        return LookupNamespace(element, "");
    }
    // "a:" and "a:b:c" are not qualified names; they belong to no namespace.
    const std::string_view local = name.substr(colon + 1);
    if (colon == 0 || local.empty() || local.find(':') != std::string_view::npos) {
        return {};
    }
    return LookupNamespace(element, name.substr(0, colon));
}

std::string_view TXMLDocument::LookupNamespace(TXMLNode node, std::string_view prefix)
{
    if (prefix == "xml") {
        return kXmlNamespace;
    }
    if (prefix == "xmlns") {
        return kXmlnsNamespace;
    }
    const std::string declaration = DeclarationName(prefix);
    for (auto element = node; element; element = element.parent()) {
        if (element.type() != pugi::node_element) {
            continue;
        }
        if (auto attribute = element.attribute(declaration.c_str())) {
            return attribute.value();
        }
    }
    return {};
}

bool TXMLDocument::IsPrefixDeclared(TXMLNode node, std::string_view prefix)
{
    if (prefix == "xml" || prefix == "xmlns") {
        return true;
    }
    const std::string declaration = DeclarationName(prefix);
    for (auto element = node; element; element = element.parent()) {
        if (element.type() == pugi::node_element && element.attribute(declaration.c_str())) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> TXMLDocument::FindPrefix(TXMLNode node, std::string_view uri)
{
    if (uri.empty()) {
        return std::nullopt;
    }
    for (auto element = node; element; element = element.parent()) {
        if (element.type() != pugi::node_element) {
            continue;
        }
        for (auto attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            const std::string_view name = attribute.name();
            if (attribute.value() != uri || (name != "xmlns" && !name.starts_with("xmlns:"))) {
                continue;
            }
            const std::string prefix(name == "xmlns" ? std::string_view() : name.substr(6));
            // A nearer declaration of the same prefix hides this one.
            if (LookupNamespace(node, prefix) == uri) {
                return prefix;
            }
        }
    }
    return std::nullopt;
}

TXMLNode TXMLDocument::AddChild(TXMLNode parent, const std::string& qualifiedName)
{
    RequireEditable(parent);
    if (parent.type() != pugi::node_element || qualifiedName.empty()) {
        throw EXmlError("an element can only be added to an element, with a name");
    }
    auto child = parent.append_child(qualifiedName.c_str());
    if (!child) {
        throw EXmlError("cannot add <" + qualifiedName + ">");
    }
    return child;
}

void TXMLDocument::SetAttribute(TXMLNode element, const std::string& qualifiedName, const std::string& value)
{
    RequireEditable(element);
    if (element.type() != pugi::node_element || qualifiedName.empty()) {
        throw EXmlError("attributes can only be set on elements, with a name");
    }
    auto attribute = element.attribute(qualifiedName.c_str());
    if (!attribute) {
        attribute = element.append_attribute(qualifiedName.c_str());
    }
    if (!attribute || !attribute.set_value(value.c_str())) {
        throw EXmlError("cannot set the attribute " + qualifiedName + " of <" + element.name() + ">");
    }
}

void TXMLDocument::SetText(TXMLNode element, const std::string& text)
{
    RequireEditable(element);
    if (element.type() != pugi::node_element) {
        throw EXmlError("text can only be set on an element");
    }
    auto first = element.first_child();
    if (!first) {
        first = element.append_child(pugi::node_pcdata);
    } else if (first.next_sibling() ||
               (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) {
        throw EXmlError(std::string("<") + element.name() +
                        "> holds more than one text node (child elements, comments or several nodes); "
                        "its text cannot be replaced");
    }
    if (!first || !first.set_value(text.c_str())) {
        throw EXmlError(std::string("cannot set the text of <") + element.name() + ">");
    }
}

void TXMLDocument::RemoveChild(TXMLNode parent, TXMLNode child)
{
    RequireEditable(parent);
    if (!child || child.parent() != parent) {
        throw EXmlError(std::string("the node to remove is not a child of <") + parent.name() + ">");
    }
    if (!parent.remove_child(child)) {
        throw EXmlError(std::string("cannot remove a child of <") + parent.name() + ">");
    }
}

} // namespace xml
