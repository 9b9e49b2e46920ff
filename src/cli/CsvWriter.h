#pragma once

#include "engine/DocumentList.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// One field as RFC 4180 writes it: quoted (quotes doubled) when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view text);

// A header row of RowKeys() and one record per row, CRLF line ends, UTF-8; one more field per
// custom property name, after the standard ones.
void WriteCsv(std::ostream& out,
              const engine::DocumentList& rows,
              const std::vector<std::string>& customNames = {});

} // namespace cli
