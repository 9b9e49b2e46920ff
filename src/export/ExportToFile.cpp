#include "export/ExportToFile.h"

#include "export/BuildHtml.h"
#include "export/BuildText.h"
#include "export/BuildXml.h"
#include "export/ExportError.h"
#include "export/ExportTitle.h"
#include "export/ReplacementFile.h"
#include "export/SpreadsheetFileName.h"
#include "export/WriteSpreadsheet.h"

#include <sstream>

namespace exporting {
namespace {

std::string BuildContent(ExportFormat format, const GridSnapshot& grid, const std::string& title)
{
    std::ostringstream content;
    switch (format) {
    case ExportFormat::Html:
        BuildHtml(content, grid, title);
        break;
    case ExportFormat::Text:
        BuildText(content, grid, kTextSeparator);
        break;
    case ExportFormat::Xml:
        BuildXml(content, grid);
        break;
    case ExportFormat::Spreadsheet:
        break;
    }
    return std::move(content).str();
}

void ExportSpreadsheet(const GridSnapshot& grid, const std::string& title, const std::filesystem::path& path)
{
    // Checked first so that the limit is reported on its own and no file is touched.
    if (!FitsSpreadsheet(grid.Rows.size())) {
        throw EExportError(std::string(kRowCountOutOfRange));
    }
    try {
        ReplacementFile file(path);
        WriteSpreadsheet(grid, title, file.TempPath());
        file.Commit();
    } catch (const EExportError& e) {
        throw EExportError("Cannot write the spreadsheet " + path.string() + ": " + e.Reason(), e.Reason());
    }
}

} // namespace

std::filesystem::path
ExportToFile(ExportFormat format, const GridSnapshot& grid, const std::filesystem::path& path)
{
    const std::string title = ExportTitle(path.string());
    if (format == ExportFormat::Spreadsheet) {
        std::filesystem::path target = SpreadsheetFileName(path.string());
        ExportSpreadsheet(grid, title, target);
        return target;
    }
    ReplacementFile file(path);
    file.Write(BuildContent(format, grid, title));
    file.Commit();
    return path;
}

} // namespace exporting
