#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

// Checks that the parser leaves to its caller. It accepts several root elements, text at the top
// level, repeated attributes and references to entities it does not know (keeping them as text),
// all of which make a document not well-formed, and the last would turn "&name;" into "&amp;name;"
// on the next save.
namespace xml {

// The first problem of a parsed document, or an empty text. `raw` must have been parsed without
// escape processing, so that every '&' still starts the reference it was written as.
[[nodiscard]] std::string StructureProblem(const pugi::xml_document& raw);

// Offset of the first byte that does not belong to a valid UTF-8 sequence (overlong forms,
// surrogates and values above U+10FFFF included); std::string::npos when there is none.
[[nodiscard]] std::size_t InvalidUtf8Offset(std::string_view bytes);

} // namespace xml
