#include "xml/TXMLDocument.h"

#include <stdexcept>

namespace xml {
// Interim: the declarations are fixed; the bodies follow.
namespace {
[[noreturn]] void Pending()
{
    throw EXmlError("XML document service not available yet");
}
} // namespace

void TXMLDocument::LoadFromText(const std::string&) { Pending(); }
void TXMLDocument::LoadFromFile(const std::filesystem::path&) { Pending(); }
bool TXMLDocument::IsLoaded() const { return m_loaded; }
TXMLNode TXMLDocument::DocumentElement() const { return m_doc.document_element(); }
std::size_t TXMLDocument::ChildCount(TXMLNode) { Pending(); }
TXMLNode TXMLDocument::ChildNode(TXMLNode, std::size_t) { Pending(); }
std::string TXMLDocument::NodeName(TXMLNode) { Pending(); }
std::string TXMLDocument::NodeText(TXMLNode) { Pending(); }
std::string TXMLDocument::Prefix(TXMLNode) { Pending(); }
std::string TXMLDocument::LocalName(TXMLNode) { Pending(); }
std::string TXMLDocument::NamespaceUri(TXMLNode) { Pending(); }
std::string TXMLDocument::LookupNamespace(TXMLNode, std::string_view) { Pending(); }
bool TXMLDocument::IsPrefixDeclared(TXMLNode, std::string_view) { Pending(); }
TXMLNode TXMLDocument::AddChild(TXMLNode, const std::string&) { Pending(); }
void TXMLDocument::SetAttribute(TXMLNode, const std::string&, const std::string&) { Pending(); }
void TXMLDocument::SetText(TXMLNode, const std::string&) { Pending(); }
void TXMLDocument::RemoveChild(TXMLNode, TXMLNode) { Pending(); }
std::string TXMLDocument::SaveToText() const { Pending(); }
void TXMLDocument::SaveToFile(const std::filesystem::path&) const { Pending(); }
void TXMLDocument::Load(const void*, std::size_t, const std::string&) { Pending(); }

} // namespace xml
