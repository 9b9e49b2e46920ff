#pragma once

#include "xml/ConformanceGate.h"
#include "xml/EXmlError.h"

#include <pugixml.hpp>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// One XML document loaded for reading or editing. Every caller owns its own object, so documents
// are never shared between threads. A load keeps what is needed to write the document back as it
// came (declaration and everything else outside the root byte for byte, encoding, byte order mark,
// comments, whitespace, attribute order, line ends), so a save changes only what was edited. The
// writer has one form where XML allows several: <a/> for empty elements, double quotes, one blank
// between attributes and characters instead of character references.
namespace xml {

// A node handle; an empty handle answers empty names and texts.
using TXMLNode = pugi::xml_node;

class TXMLDocument
{
public:
    TXMLDocument() = default;

    // Replace the document. Both throw EXmlError when the text is not well-formed XML 1.0 (see
    // ConformanceGate.h), declares entities, or holds something the document model cannot keep;
    // the previous document is gone either way.
    void LoadFromText(const std::string& text);
    void LoadFromFile(const std::filesystem::path& path);

    [[nodiscard]] bool IsLoaded() const;
    [[nodiscard]] TXMLNode DocumentElement() const;

    // Direct children of any kind (elements, text, comments, ...), by position from 0.
    [[nodiscard]] static std::size_t ChildCount(TXMLNode node);
    [[nodiscard]] static TXMLNode ChildNode(TXMLNode node, std::size_t index);

    // The qualified name as written ("dc:title"); "#text", "#cdata-section", "#comment", ... for
    // other node kinds, which match no element name.
    [[nodiscard]] static std::string NodeName(TXMLNode node);
    // Text of a text, CDATA, comment or processing-instruction node; for an element the
    // concatenated text and CDATA of its descendants. Line ends read as "\n", as XML defines.
    [[nodiscard]] static std::string NodeText(TXMLNode node);

    // Namespace view of an element name: the prefix ("" when none), the local name and the URI the
    // declarations in scope bind to the prefix ("" for an unbound prefix or no default namespace).
    // The local name and the URI are views into the document (they are read for every element of
    // every part loaded): valid until the document changes.
    [[nodiscard]] static std::string Prefix(TXMLNode element);
    [[nodiscard]] static std::string_view LocalName(TXMLNode element);
    [[nodiscard]] static std::string_view NamespaceUri(TXMLNode element);
    // The URI bound to prefix ("" = default namespace) at node; empty when unbound. A view as above.
    [[nodiscard]] static std::string_view LookupNamespace(TXMLNode node, std::string_view prefix);
    // Whether prefix is declared (bound to anything) in scope at node.
    [[nodiscard]] static bool IsPrefixDeclared(TXMLNode node, std::string_view prefix);
    // A prefix that is bound to uri in scope at node and not hidden by a nearer declaration ("" for
    // the default namespace); std::nullopt when there is none.
    [[nodiscard]] static std::optional<std::string> FindPrefix(TXMLNode node, std::string_view uri);

    // Edits are made below the document element; the top level (declaration, comments before and
    // after the root) is written back as it was loaded, so edits there throw EXmlError.

    // Appends an element with the given qualified name as the last child; no declaration is added.
    TXMLNode AddChild(TXMLNode parent, const std::string& qualifiedName);
    // Sets (or adds at the end) the attribute with the given qualified name.
    void SetAttribute(TXMLNode element, const std::string& qualifiedName, const std::string& value);
    // Sets the text of an element that has no children or only one text or CDATA child; any other
    // content throws EXmlError and leaves the element unchanged.
    void SetText(TXMLNode element, const std::string& text);
    // Removes child from parent; throws EXmlError when child is not a child of parent.
    void RemoveChild(TXMLNode parent, TXMLNode child);

    // The whole document in its loaded encoding, without added indentation. Throws EXmlError when
    // the edited document would not pass the well-formedness gate.
    [[nodiscard]] std::string SaveToText() const;
    // Writes SaveToText() to path, replacing the file; throws EXmlError on failure.
    void SaveToFile(const std::filesystem::path& path) const;

private:
    void Load(const std::string& bytes, const std::string& origin);
    // Keeps the bytes around the root element of an ASCII-compatible document for the save.
    void keepTopLevel(const std::string& bytes,
                      std::size_t bomLength,
                      const ConformanceResult& conformance,
                      const std::string& origin);
    // The document as text, unchecked.
    [[nodiscard]] std::string Serialize() const;
    void RequireEditable(TXMLNode node) const;

    pugi::xml_document m_doc;
    pugi::xml_encoding m_encoding = pugi::encoding_utf8;
    std::string m_bom;
    // The bytes before and after the root element exactly as loaded (declaration, comments,
    // processing instructions, document type and the whitespace between them). Kept only for
    // encodings in which they can be found byte-wise (UTF-8 and Latin-1).
    std::string m_prolog;
    std::string m_epilog;
    bool m_rawTopLevel = false;
    bool m_loaded = false;
};

} // namespace xml
