#include "app/settings/TXMLConfigType.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace app {

namespace {

constexpr const char* kNodeElement = "node";

bool IsNodeItem(xml::TXMLNode node)
{
    return node.type() == pugi::node_element && xml::TXMLDocument::NodeName(node) == kNodeElement;
}

} // namespace

TXMLNodeType::TXMLNodeType(xml::TXMLDocument& doc, xml::TXMLNode node)
    : m_doc(&doc)
    , m_node(node)
{}

std::string TXMLNodeType::Text(const char* attribute) const
{
    return m_node.attribute(attribute).value();
}

int TXMLNodeType::Integer(const char* attribute) const
{
    const std::string text = Text(attribute);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        throw xml::EXmlError("column configuration: attribute " + std::string(attribute) +
                             " is not an integer: \"" + text + "\"");
    }
    return value;
}

bool TXMLNodeType::Boolean(const char* attribute) const
{
    std::string text = Text(attribute);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text == "true";
}

std::string TXMLNodeType::Name() const
{
    return Text("Name");
}

bool TXMLNodeType::Visible() const
{
    return Boolean("Visible");
}

int TXMLNodeType::Index() const
{
    return Integer("Index");
}

bool TXMLNodeType::DefaultExport() const
{
    return Boolean("DefaultExport");
}

int TXMLNodeType::Width() const
{
    return Integer("Width");
}

bool TXMLNodeType::ReadOnly() const
{
    return Boolean("ReadOnly");
}

std::string TXMLNodeType::Align() const
{
    return Text("Align");
}

void TXMLNodeType::SetName(const std::string& value)
{
    m_doc->SetAttribute(m_node, "Name", value);
}

void TXMLNodeType::SetVisible(bool value)
{
    m_doc->SetAttribute(m_node, "Visible", value ? "True" : "False");
}

void TXMLNodeType::SetIndex(int value)
{
    m_doc->SetAttribute(m_node, "Index", std::to_string(value));
}

void TXMLNodeType::SetWidth(int value)
{
    m_doc->SetAttribute(m_node, "Width", std::to_string(value));
}

void TXMLNodeType::SetReadOnly(bool value)
{
    m_doc->SetAttribute(m_node, "ReadOnly", value ? "True" : "False");
}

void TXMLNodeType::SetAlign(const std::string& value)
{
    m_doc->SetAttribute(m_node, "Align", value);
}

void TXMLNodeType::SetDefaultExport(bool value)
{
    m_doc->SetAttribute(m_node, "DefaultExport", value ? "True" : "False");
}

TXMLNodesType::TXMLNodesType(xml::TXMLDocument& doc, xml::TXMLNode node)
    : m_doc(&doc)
    , m_node(node)
{}

std::size_t TXMLNodesType::Count() const
{
    std::size_t count = 0;
    for (xml::TXMLNode child : m_node.children()) {
        count += IsNodeItem(child) ? 1 : 0;
    }
    return count;
}

TXMLNodeType TXMLNodesType::Node(std::size_t index) const
{
    std::size_t position = 0;
    for (xml::TXMLNode child : m_node.children()) {
        if (IsNodeItem(child) && position++ == index) {
            return {*m_doc, child};
        }
    }
    throw xml::EXmlError("column configuration: no node at position " + std::to_string(index));
}

TXMLNodeType TXMLNodesType::Add()
{
    return {*m_doc, m_doc->AddChild(m_node, kNodeElement)};
}

TXMLNodeType TXMLNodesType::Insert(std::size_t index)
{
    if (index >= Count()) {
        return Add();
    }
    xml::TXMLNode before = Node(index).Element();
    return {*m_doc, m_node.insert_child_before(kNodeElement, before)};
}

TXMLConfigType::TXMLConfigType(xml::TXMLDocument& doc, xml::TXMLNode node)
    : m_doc(&doc)
    , m_node(node)
{}

int TXMLConfigType::versionNo() const
{
    return m_node.attribute("versionNo").as_int();
}

void TXMLConfigType::SetVersionNo(int value)
{
    m_doc->SetAttribute(m_node, "versionNo", std::to_string(value));
}

TXMLNodesType TXMLConfigType::nodes() const
{
    return {*m_doc, m_node.child("nodes")};
}

TXMLNodesType TXMLConfigType::vnodes() const
{
    return {*m_doc, m_node.child("vnodes")};
}

TXMLConfigType GetConfig(xml::TXMLDocument& doc)
{
    xml::TXMLNode root = doc.DocumentElement();
    if (xml::TXMLDocument::NodeName(root) != "config") {
        throw xml::EXmlError("column configuration: the document element is not <config>");
    }
    return {doc, root};
}

} // namespace app
