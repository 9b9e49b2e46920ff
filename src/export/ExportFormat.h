#pragma once

#include <string_view>

namespace exporting {

enum class ExportFormat
{
    Html,
    Text,
    Xml,
    Spreadsheet,
    Csv,
};

// What a front end offers for one format: the menu caption, the default extension and the file
// dialog filter ("description|pattern"). The spreadsheet is an Office Open XML workbook, so it is
// offered under ".xlsx" only (see SpreadsheetFileName).
struct ExportFormatTexts
{
    std::string_view MenuCaption;
    std::string_view Extension;
    std::string_view Filter;
};

[[nodiscard]] constexpr ExportFormatTexts TextsOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Html:
        return {"Export To HTML (*.htm)", ".htm", "HTML File|*.htm"};
    case ExportFormat::Text:
        return {"Export To Text (*.txt)", ".txt", "Text File|*.txt"};
    case ExportFormat::Xml:
        return {"Export To XML (*.xml)", ".xml", "XML File|*.XML"};
    case ExportFormat::Csv:
        return {"Export to CSV", ".csv", "CSV File|*.csv"};
    case ExportFormat::Spreadsheet:
        break;
    }
    return {"Export To Excel (*.xlsx)", ".xlsx", "EXCEL File|*.xlsx"};
}

// The separator the text export puts after every field.
inline constexpr std::string_view kTextSeparator = "  ,  ";

// The question and caption a front end shows before replacing an existing target.
inline constexpr std::string_view kOverwriteQuestion = "File with the same name already exists,overwrite?";
inline constexpr std::string_view kWarningCaption = "Warning";

} // namespace exporting
