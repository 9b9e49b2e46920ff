#pragma once

#include "engine/record/DocumentRecord.h"
#include "xml/TXMLDocument.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Edit the core and app parts for the properties whose changed flag is set: a non-empty text sets
// (or adds) the element, an empty text removes it. Elements are found by namespace and local name.
// Dates given as local "YYYY-MM-DD hh:mm:ss" are written as "YYYY-MM-DDThh:mm:ssZ".
//
// The changed flags and Modified are left as they are: a save is all or nothing, so only the caller
// that has really rewritten the package may clear them.
namespace engine {

// A property value or a part that cannot be written (invalid date text, element with child
// elements); nothing has been written when it is thrown.
class EPropertyWriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Part texts with the changed properties applied. existingXml empty means the part is missing: a new
// part with the usual namespace declarations is made when a flagged property has a non-empty value,
// otherwise the result is empty (no part needed). When no property of the part is flagged, or each
// flagged text equals what the part already shows, the existing text is returned unchanged (so a
// date the user did not change keeps its stored form). A changed value with a control character
// XML cannot hold, that is not UTF-8 or that breaks PropertyValueProblem is refused. Throw xml::EXmlError or EPropertyWriteError.
[[nodiscard]] std::string WriteCorePropertiesXml(const DocumentRecord& record,
                                                 const std::string& existingXml);
[[nodiscard]] std::string WriteAppPropertiesXml(const DocumentRecord& record, const std::string& existingXml);

// The same on part files (a missing file counts as a missing part; nothing is written when the
// result is empty or unchanged).
void WriteCoreProperties(const DocumentRecord& record, const std::filesystem::path& path);
void WriteAppProperties(const DocumentRecord& record, const std::filesystem::path& path);

// True when at least one property of the part is flagged.
[[nodiscard]] bool HasCoreChanges(const DocumentRecord& record);
[[nodiscard]] bool HasAppChanges(const DocumentRecord& record);

// The first direct child element of root holding the catalogue element `name` ("dc:title",
// "Template"), matched by namespace and local name whatever prefix the part uses; an empty handle
// when there is none. FindChildElements gives every such child in document order.
[[nodiscard]] xml::TXMLNode FindChildElement(std::string_view name, xml::TXMLNode root);
[[nodiscard]] std::vector<xml::TXMLNode> FindChildElements(std::string_view name, xml::TXMLNode root);

// Refuses (EPropertyWriteError, led by what) a text with a control character XML cannot hold, or
// that is not UTF-8.
void CheckStorableText(std::string_view what, std::string_view value);

// The prefix under which the root binds uri, declaring `preferred` (numbered when taken) on the
// root when no usable prefix is bound.
[[nodiscard]] std::string PrefixFor(xml::TXMLDocument& doc, std::string_view uri, std::string_view preferred);

// Registration of a created part. Each adds one entry (an Override for "/"+partName with the content
// type; a Relationship of relType to target with an unused Id) and changes nothing else; the text
// comes back unchanged when an equal entry is already there. An empty input makes a new document.
[[nodiscard]] std::string RegisterContentTypeOverride(const std::string& contentTypesXml,
                                                      std::string_view partName,
                                                      std::string_view contentType);
[[nodiscard]] std::string
RegisterPackageRelationship(const std::string& relsXml, std::string_view relType, std::string_view target);

} // namespace engine
