#pragma once

#include "export/GridSnapshot.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace exporting {

// A sheet of the workbook written holds at most 1,048,576 rows: the title row, the caption row and
// at most this many documents.
inline constexpr std::size_t kMaxSpreadsheetDocuments = 1048574;
inline constexpr std::string_view kRowCountOutOfRange = "The row count is out of excel range.";

[[nodiscard]] constexpr bool FitsSpreadsheet(std::size_t documentCount)
{
    return documentCount <= kMaxSpreadsheetDocuments;
}

// Writes the grid as an Office Open XML workbook to file (created or truncated): the title in A1,
// bold, centred both ways and merged over all columns; captions in row 2 and documents from row 3,
// every cell of that block with thin borders, columns and rows fitted to their texts. Rows go to the
// file one by one as they are written (cell texts inline, no shared string table), through a
// scratch folder, so the workbook's own memory does not grow with the row count.
// Throws EExportError with kRowCountOutOfRange when the grid has too many rows, and with the reason
// (not naming the file) when the workbook cannot be built or written.
void WriteSpreadsheet(const GridSnapshot& grid, std::string_view title, const std::filesystem::path& file);

} // namespace exporting
