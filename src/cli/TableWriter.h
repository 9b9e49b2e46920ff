#pragma once

#include "engine/record/DocumentList.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// The grid's twenty columns as an aligned text table: a header line, then one line per row with the
// cell texts the grid shows (sizes formatted, dates in local time). Line breaks and other control
// characters inside a cell are shown as blanks so that every row stays on one line. withStatistics
// adds the ten statistics after the twenty; one more column per custom property name follows.
void WriteTable(std::ostream& out,
                const engine::DocumentList& rows,
                const std::vector<std::string>& customNames = {},
                bool withStatistics = false);

} // namespace cli
