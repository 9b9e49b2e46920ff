#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A table read from a spreadsheet file for an import: rows of cell texts, each with the number
// the user sees for it (the CSV line where the row starts, the worksheet row number).
namespace engine {

// The file cannot be read as a table; the message names the file and, where known, the place.
class EImportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ImportTable
{
    std::string Source; // the file name used in messages
    std::vector<std::vector<std::string>> Rows;
    std::vector<std::size_t> RowNumbers; // one per row
    // A CSV row has exactly the fields its line holds; a worksheet row ends at its last stored cell.
    bool ExactWidths = true;
};

// Limits that keep a hostile file from taking unbounded time or memory.
inline constexpr std::uint64_t kMaxImportFileBytes = 256ULL * 1024 * 1024;
inline constexpr std::size_t kMaxImportColumns = 16384;  // as many as a worksheet can have
inline constexpr std::size_t kMaxImportRows = 1048576;   // as many as a worksheet can have
inline constexpr std::size_t kMaxImportCellBytes = 1024 * 1024;
inline constexpr std::size_t kMaxImportCells = 8 * 1024 * 1024; // rows times their widths
// The worksheet is inflated whole, then parsed as one document, so the part is bounded. An export
// writes about 1.4 KiB a row with the default columns and texts of real packages, so this lets in
// exports of some 180,000 packages; read, such a sheet takes about seven times its size in memory
// (100,000 rows: 1 GiB). A hostile part of nothing but empty elements parses to at most about
// sixteen times its size, and is then refused by the row, column and cell limits.
inline constexpr std::uint64_t kMaxImportSheetBytes = 256ULL * 1024 * 1024;
// All cell texts together: shared strings may repeat one text in many cells, so they are counted
// where they are used. No more than the worksheet part itself may hold.
inline constexpr std::uint64_t kMaxImportTextBytes = kMaxImportSheetBytes;

// RFC 4180 text in UTF-8 (a byte order mark is skipped). The separator is ';' when the first line
// holds more unquoted semicolons than commas, else ','. Quoted fields may hold separators, doubled
// quotes and line breaks; lines end in CRLF or LF. Throws EImportError.
[[nodiscard]] ImportTable ReadCsvTable(std::string_view bytes, const std::string& source);

// The first worksheet of an Office Open XML workbook: shared and inline strings, numbers and
// booleans as text, numbers in a date or time format as "YYYY-MM-DD hh:mm:ss". Throws EImportError.
[[nodiscard]] ImportTable ReadXlsxTable(const std::filesystem::path& path);

// A .csv or .xlsx file, chosen by its content (a ZIP archive is a workbook). Throws EImportError.
[[nodiscard]] ImportTable ReadImportFile(const std::filesystem::path& path);

} // namespace engine
