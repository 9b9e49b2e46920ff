#pragma once

#include "export/ExportFormat.h"
#include "export/GridSnapshot.h"

#include <filesystem>
#include <ostream>
#include <string_view>

namespace exporting {

// Writes the grid to path in the given format, titled after the path's file name. An existing file
// is replaced only once the new content is complete and on disk; on any failure it is left as it was
// and EExportError says why ("Cannot write the spreadsheet FILE: reason" for a workbook). A workbook
// goes under SpreadsheetFileName(path); the result is the file written.
std::filesystem::path
ExportToFile(ExportFormat format, const GridSnapshot& grid, const std::filesystem::path& path);

// Writes to out what ExportToFile writes into a file whose heading is title (a workbook is built in a
// scratch folder first). Throws EExportError when the content cannot be built; the caller checks out.
void ExportToStream(ExportFormat format, const GridSnapshot& grid, std::string_view title, std::ostream& out);

} // namespace exporting
