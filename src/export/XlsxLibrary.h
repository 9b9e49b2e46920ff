#pragma once

#include <xlsxwriter.h>

namespace exporting {

// The spreadsheet library's functions this program calls. The library is loaded on first use:
// with the libraries it needs it is most of what a process start costs, and most runs never
// write a spreadsheet.
struct XlsxLibrary
{
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_add_format) workbook_add_format;
    decltype(&::workbook_close) workbook_close;
    decltype(&::lxw_workbook_free) lxw_workbook_free;
    decltype(&::lxw_strerror) lxw_strerror;
    decltype(&::format_set_bold) format_set_bold;
    decltype(&::format_set_align) format_set_align;
    decltype(&::format_set_border) format_set_border;
    decltype(&::format_set_text_wrap) format_set_text_wrap;
    decltype(&::worksheet_merge_range) worksheet_merge_range;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::worksheet_set_row) worksheet_set_row;
    decltype(&::worksheet_set_column) worksheet_set_column;
};

// The loaded library; throws EExportError when it cannot be loaded. Safe to call from any thread.
const XlsxLibrary& Xlsx();

} // namespace exporting
