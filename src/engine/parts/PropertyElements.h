#pragma once

#include "xml/TXMLDocument.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Shared by the reader and the writer: which property an element of a part holds.
namespace engine {

// Property index p (0..16) of an element of the core part (p < 13) or the app part (p >= 13),
// recognised by namespace URI and local name whatever prefix is used.
[[nodiscard]] std::optional<std::size_t> PropertyOfElement(xml::TXMLNode element, bool corePart);

// The value the reader shows for property p of a part: the first child's text of the last direct
// child of root holding p that has content, dates in the record's form (StoredDateToRecordText); std::nullopt
// when no such element has content.
[[nodiscard]] std::optional<std::string> ShownValue(xml::TXMLNode root, std::size_t p);

// Converts a stored value of property p to the text the user sees.
[[nodiscard]] std::string ShownText(std::size_t p, std::string stored);

} // namespace engine
