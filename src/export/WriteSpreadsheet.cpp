#include "export/WriteSpreadsheet.h"

#include "archive/Utf8.h"
#include "engine/package/ScratchFolder.h"
#include "export/ExportError.h"
#include "export/ExportTitle.h"
#include "export/SpreadsheetFit.h"
#include "export/XlsxLibrary.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace exporting {
namespace {

// Excel refuses longer cell texts.
constexpr std::size_t kMaxCellCharacters = 32767;

struct WorkbookFree
{
    void operator()(lxw_workbook* workbook) const { Xlsx().lxw_workbook_free(workbook); }
};

using WorkbookPtr = std::unique_ptr<lxw_workbook, WorkbookFree>;

[[noreturn]] void Fail(const std::string& reason)
{
    throw EExportError(reason);
}

void Check(lxw_error error, const std::string& what)
{
    if (error != LXW_NO_ERROR) {
        Fail(what + ": " + Xlsx().lxw_strerror(error));
    }
}

std::string CellName(lxw_row_t row, lxw_col_t column)
{
    return ColumnLetters(static_cast<int>(column) + 1) + std::to_string(row + 1);
}

// The text as the workbook can hold it: valid UTF-8 only, within Excel's cell length.
std::string SheetText(std::string_view text, lxw_row_t row, lxw_col_t column)
{
    std::string valid = archive::RepairUtf8(text, "");
    if (archive::CountCodePoints(valid) > kMaxCellCharacters) {
        Fail("The text of cell " + CellName(row, column) + " is longer than " +
             std::to_string(kMaxCellCharacters) + " characters.");
    }
    return valid;
}

struct Formats
{
    lxw_format* Title = nullptr;
    lxw_format* Cell = nullptr;
    lxw_format* WrappedCell = nullptr;
};

Formats AddFormats(lxw_workbook* workbook)
{
    Formats formats{Xlsx().workbook_add_format(workbook), Xlsx().workbook_add_format(workbook),
                    Xlsx().workbook_add_format(workbook)};
    if (formats.Title == nullptr || formats.Cell == nullptr || formats.WrappedCell == nullptr) {
        Fail("The cell formats cannot be created.");
    }
    Xlsx().format_set_bold(formats.Title);
    Xlsx().format_set_align(formats.Title, LXW_ALIGN_CENTER);
    Xlsx().format_set_align(formats.Title, LXW_ALIGN_VERTICAL_CENTER);
    Xlsx().format_set_border(formats.Cell, LXW_BORDER_THIN);
    Xlsx().format_set_border(formats.WrappedCell, LXW_BORDER_THIN);
    Xlsx().format_set_text_wrap(formats.WrappedCell);
    return formats;
}

void WriteTitle(lxw_worksheet* sheet, const Formats& formats, std::string_view title, lxw_col_t columnCount)
{
    const std::string text = SheetText(title, 0, 0);
    if (columnCount > 1) {
        Check(Xlsx().worksheet_merge_range(sheet, 0, 0, 0, columnCount - 1, text.c_str(), formats.Title),
              "Cannot merge the title cells");
    } else {
        // A range of one cell cannot be merged; the cell alone carries the title.
        Check(Xlsx().worksheet_write_string(sheet, 0, 0, text.c_str(), formats.Title),
              "Cannot write the title");
    }
}

void WriteBlockRow(lxw_worksheet* sheet,
                   const Formats& formats,
                   lxw_row_t sheetRow,
                   const std::vector<std::string>& cells,
                   const std::vector<double>& widths)
{
    for (lxw_col_t column = 0; column < widths.size(); ++column) {
        const std::string_view cell =
            column < cells.size() ? std::string_view(cells[column]) : std::string_view();
        const std::string text = SheetText(cell, sheetRow, column);
        // An empty text with a format becomes a blank cell, which keeps its borders.
        lxw_format* format = NeedsWrap(text, widths[column]) ? formats.WrappedCell : formats.Cell;
        Check(Xlsx().worksheet_write_string(sheet, sheetRow, column, text.c_str(), format),
              "Cannot write cell " + CellName(sheetRow, column));
    }
    const double height = FittedRowHeight(cells, widths);
    if (height > kLineHeight) {
        Check(Xlsx().worksheet_set_row(sheet, sheetRow, height, nullptr), "Cannot set the row height");
    }
}

} // namespace

void WriteSpreadsheet(const GridSnapshot& grid, std::string_view title, const std::filesystem::path& file)
{
    if (!FitsSpreadsheet(grid.Rows.size())) {
        throw EExportError(std::string(kRowCountOutOfRange));
    }
    if (grid.Captions.size() > LXW_COL_MAX) {
        Fail("The grid has more columns than a sheet can hold.");
    }
    const auto columnCount = static_cast<lxw_col_t>(grid.Captions.size());
    try {
        Xlsx();
    } catch (const EExportError& e) {
        Fail(e.what());
    }

    // Constant-memory mode sends each row to a temporary file once a later row is started, and
    // writes cell texts inline; the rows below go in order, the widths are known beforehand, and
    // the row height is set while its row is the current one. The temporary file grows to the
    // sheet's size (some 1.4 KB a row), so it goes to a disk folder.
    std::optional<engine::ScratchFolder> scratch;
    try {
        scratch.emplace(engine::ScratchSize::Large);
    } catch (const std::exception& e) {
        Fail(std::string("The workbook has no scratch folder: ") + e.what());
    }
    std::string scratchPath = scratch->Path().string();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchPath.data();
    WorkbookPtr workbook(Xlsx().workbook_new_opt(file.c_str(), &options));
    if (!workbook) {
        Fail("The workbook cannot be created.");
    }
    lxw_worksheet* sheet = Xlsx().workbook_add_worksheet(workbook.get(), nullptr);
    if (sheet == nullptr) {
        Fail("The worksheet cannot be added.");
    }
    const Formats formats = AddFormats(workbook.get());

    WriteTitle(sheet, formats, title, columnCount);
    std::vector<double> widths(columnCount);
    for (lxw_col_t column = 0; column < columnCount; ++column) {
        widths[column] = FittedColumnWidth(grid, column);
        Check(Xlsx().worksheet_set_column(sheet, column, column, widths[column], nullptr),
              "Cannot set the column width");
    }
    if (columnCount > 0) {
        WriteBlockRow(sheet, formats, 1, grid.Captions, widths);
        for (std::size_t row = 0; row < grid.Rows.size(); ++row) {
            WriteBlockRow(sheet, formats, static_cast<lxw_row_t>(row + 2), grid.Rows[row], widths);
        }
    }

    // workbook_close writes the file and frees the workbook whatever its outcome.
    const lxw_error closed = Xlsx().workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) {
        Fail(Xlsx().lxw_strerror(closed));
    }
}

} // namespace exporting
