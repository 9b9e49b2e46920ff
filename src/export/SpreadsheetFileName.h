#pragma once

#include <string>

namespace exporting {

// The name a workbook is written under. It is Office Open XML, which spreadsheet programs refuse or
// warn about under the older ".xls" extension, so a name ending in ".xls" (any letter case) gets an
// "x" appended; every other name is kept.
[[nodiscard]] std::string SpreadsheetFileName(const std::string& path);

} // namespace exporting
