#pragma once

#include "export/DateForm.h"
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
// Unlike the grid's snapshot, the size is in bytes, a package's load error has its own column, and
// each date, custom dates included, is written in the given form: with its offset, so that a table
// read in another time zone names the same instants, or in UTC.
[[nodiscard]] GridSnapshot CsvSnapshotOf(const engine::DocumentList& rows,
                                         const std::vector<std::string>& customNames = {},
                                         DateForm dates = DateForm::WithOffset);

// The captions as the header record, then one record per row; CRLF line ends, UTF-8.
void BuildCsv(std::ostream& out, const GridSnapshot& grid);
// The two halves of BuildCsv, for a table written a batch of rows at a time: the header record,
// then each batch's records.
void BuildCsvHeader(std::ostream& out, const GridSnapshot& grid);
void BuildCsvRecords(std::ostream& out, const GridSnapshot& grid);

} // namespace exporting
