#pragma once

#include "export/GridSnapshot.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace engine {
class DocumentList;
}

// The CSV table of the rows: the form an import reads back.
namespace exporting {

// One field as RFC 4180 writes it: quoted (quotes doubled) when it holds a comma, a quote, CR or LF.
[[nodiscard]] std::string CsvField(std::string_view text);

// The fields of RowKeys() per row, then one per custom property name; every text valid UTF-8.
// Unlike the grid's snapshot, the size is in bytes and a package's load error has its own column.
[[nodiscard]] GridSnapshot CsvSnapshotOf(const engine::DocumentList& rows,
                                         const std::vector<std::string>& customNames = {});

// The captions as the header record, then one record per row; CRLF line ends, UTF-8.
void BuildCsv(std::ostream& out, const GridSnapshot& grid);

} // namespace exporting
