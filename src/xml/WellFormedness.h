#pragma once

#include <pugixml.hpp>

#include <string>

// Checks that the parser leaves to its caller. It accepts several root elements, text at the top
// level, repeated attributes and references to entities it does not know (keeping them as text),
// all of which make a document not well-formed, and the last would turn "&name;" into "&amp;name;"
// on the next save.
namespace xml {

// The first problem of a parsed document, or an empty text. `raw` must have been parsed without
// escape processing, so that every '&' still starts the reference it was written as.
[[nodiscard]] std::string StructureProblem(const pugi::xml_document& raw);

} // namespace xml
