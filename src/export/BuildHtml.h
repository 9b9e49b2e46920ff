#pragma once

#include "export/GridSnapshot.h"

#include <ostream>
#include <string>
#include <string_view>

namespace exporting {

// The HTML page of a grid: a styled table with a header row and rows of alternating classes under
// the title and the maker's credit line, on one line ended by CR LF. Nothing for a grid without rows.
void BuildHtml(std::ostream& out, const GridSnapshot& grid, std::string_view title);

// A text as HTML content: &, <, > and " as references, an empty text as "&nbsp".
[[nodiscard]] std::string HtmlCellText(std::string_view text);

} // namespace exporting
