#include "export/ExportToFile.h"

#include "archive/ArchiveErrors.h"
#include "archive/AtomicReplace.h"
#include "engine/package/ScratchFolder.h"
#include "engine/base/PathMessage.h"
#include "export/BuildCsv.h"
#include "export/BuildHtml.h"
#include "export/BuildText.h"
#include "export/BuildXml.h"
#include "export/ExportError.h"
#include "export/ExportTitle.h"
#include "export/SpreadsheetFileName.h"
#include "export/WriteSpreadsheet.h"

#include <fstream>
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
    case ExportFormat::Csv:
        BuildCsv(content, grid);
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
        archive::TemporaryArchive file(path);
        // The workbook writer opens the file by its name; the content is still ours to commit.
        WriteSpreadsheet(grid, title, file.Path());
        file.Commit();
    } catch (const EExportError& e) {
        throw EExportError("Cannot write the spreadsheet " + path.string() + ": " + e.Reason(), e.Reason());
    } catch (const std::exception& e) {
        const std::string reason = engine::WithoutPath(e.what(), path.string());
        throw EExportError("Cannot write the spreadsheet " + path.string() + ": " + reason, reason);
    }
}

std::string SpreadsheetBytes(const GridSnapshot& grid, std::string_view title)
{
    if (!FitsSpreadsheet(grid.Rows.size())) {
        throw EExportError(std::string(kRowCountOutOfRange));
    }
    try {
        // The workbook writer writes only to a named file.
        const engine::ScratchFolder scratch;
        const std::filesystem::path file = scratch.Path() / "export.xlsx";
        WriteSpreadsheet(grid, title, file);
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in || !bytes) {
            throw EExportError("Cannot read back the workbook built in " + scratch.Path().string());
        }
        return std::move(bytes).str();
    } catch (const EExportError&) {
        throw;
    } catch (const std::exception& e) {
        throw EExportError(std::string("Cannot build the spreadsheet: ") + e.what());
    }
}

} // namespace

void ExportToStream(ExportFormat format, const GridSnapshot& grid, std::string_view title, std::ostream& out)
{
    out << (format == ExportFormat::Spreadsheet ? SpreadsheetBytes(grid, title)
                                                : BuildContent(format, grid, std::string(title)));
}

std::filesystem::path
ExportToFile(ExportFormat format, const GridSnapshot& grid, const std::filesystem::path& path)
{
    const std::string title = ExportTitle(path.string());
    if (format == ExportFormat::Spreadsheet) {
        std::filesystem::path target = SpreadsheetFileName(path.string());
        ExportSpreadsheet(grid, title, target);
        return target;
    }
    try {
        archive::ReplaceFileContent(path, BuildContent(format, grid, title));
    } catch (const archive::EArchiveError& e) {
        throw EExportError(e.what());
    }
    return path;
}

} // namespace exporting
