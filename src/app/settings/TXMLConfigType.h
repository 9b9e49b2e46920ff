#pragma once

#include "xml/TXMLDocument.h"

#include <cstddef>
#include <string>

// Typed views of a column configuration document: <config> holds <nodes> (and optionally
// <vnodes>), whose <node> items describe one grid column each. The views hold node handles only;
// the document must outlive them.
namespace app {

class TXMLNodeType
{
public:
    TXMLNodeType(xml::TXMLDocument& doc, xml::TXMLNode node);

    [[nodiscard]] std::string Name() const;
    [[nodiscard]] bool Visible() const;
    [[nodiscard]] int Index() const;
    [[nodiscard]] bool DefaultExport() const;
    [[nodiscard]] int Width() const;
    [[nodiscard]] bool ReadOnly() const;
    [[nodiscard]] std::string Align() const;

    void SetName(const std::string& value);
    void SetVisible(bool value);
    void SetIndex(int value);
    void SetDefaultExport(bool value);
    void SetWidth(int value);
    void SetReadOnly(bool value);
    void SetAlign(const std::string& value);

    [[nodiscard]] xml::TXMLNode Element() const { return m_node; }

private:
    [[nodiscard]] std::string Text(const char* attribute) const;
    [[nodiscard]] int Integer(const char* attribute) const;
    [[nodiscard]] bool Boolean(const char* attribute) const;

    xml::TXMLDocument* m_doc;
    xml::TXMLNode m_node;
};

// The ordered <node> items of a <nodes> or <vnodes> element; other children are not counted.
class TXMLNodesType
{
public:
    TXMLNodesType(xml::TXMLDocument& doc, xml::TXMLNode node);

    [[nodiscard]] std::size_t Count() const;
    [[nodiscard]] TXMLNodeType Node(std::size_t index) const;
    TXMLNodeType Add();
    TXMLNodeType Insert(std::size_t index);

private:
    xml::TXMLDocument* m_doc;
    xml::TXMLNode m_node;
};

class TXMLConfigType
{
public:
    TXMLConfigType(xml::TXMLDocument& doc, xml::TXMLNode node);

    [[nodiscard]] int versionNo() const;
    void SetVersionNo(int value);
    // An absent list reads as an empty one.
    [[nodiscard]] TXMLNodesType nodes() const;
    [[nodiscard]] TXMLNodesType vnodes() const;

private:
    xml::TXMLDocument* m_doc;
    xml::TXMLNode m_node;
};

// Binds the document element, which must be named "config" (throws xml::EXmlError otherwise).
TXMLConfigType GetConfig(xml::TXMLDocument& doc);

} // namespace app
