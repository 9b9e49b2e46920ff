#pragma once

#include <string>
#include <string_view>

namespace exporting {

// The heading of an exported page or sheet: the file name of path without any of its extensions
// ("reports/q3.summary.htm" gives "q3").
[[nodiscard]] std::string ExportTitle(std::string_view path);

// Spreadsheet column letters of the 1-based column n: 1 "A", 26 "Z", 27 "AA", 52 "AZ", 702 "ZZ",
// 703 "AAA". Empty for n < 1.
[[nodiscard]] std::string ColumnLetters(int n);

} // namespace exporting
