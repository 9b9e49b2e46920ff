#pragma once

#include "export/ExportFormat.h"
#include "export/GridSnapshot.h"

#include <ostream>
#include <string_view>

namespace exporting {

// The separated text of a grid: the caption line, then one line per row, every field (the last one
// included) followed by the separator; nothing quoted. Lines end in CR LF; nothing for a grid
// without rows.
void BuildText(std::ostream& out, const GridSnapshot& grid, std::string_view separator = kTextSeparator);

} // namespace exporting
