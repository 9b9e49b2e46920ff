#pragma once

#include "export/GridSnapshot.h"

#include <ostream>
#include <string>
#include <string_view>

namespace exporting {

// The XML file of a grid: a UTF-8 document whose root `files` holds one `file` element per row with
// one attribute per column. Lines end in CR LF; nothing for a grid without rows.
void BuildXml(std::ostream& out, const GridSnapshot& grid);

// The attribute name of a column: its caption without blanks and parentheses.
[[nodiscard]] std::string XmlAttributeName(std::string_view caption);

// A text as an attribute value: &, < and " as references, tab, LF and CR as character references
// (so a parser keeps them), and whatever XML 1.0 cannot hold (other control characters, U+FFFE,
// U+FFFF, invalid UTF-8) left out.
[[nodiscard]] std::string XmlAttributeValue(std::string_view text);

} // namespace exporting
