#pragma once

#include "export/GridSnapshot.h"

#include <cstddef>
#include <string_view>
#include <vector>

// The writer has no way to measure rendered text, so columns and rows are fitted from the texts:
// a column is as wide as its longest line in characters, a row as tall as its tallest cell in lines.
namespace exporting {

// Widths in characters of the default font, heights in points.
inline constexpr double kMinColumnWidth = 4.0;
inline constexpr double kMaxColumnWidth = 100.0;
inline constexpr double kLineHeight = 15.0;
inline constexpr double kMaxRowHeight = 409.0;

// The longest line of a text (a CR, LF or CR LF ends one) in code points.
[[nodiscard]] std::size_t LongestLine(std::string_view text);

// The lines a text takes in a column of the given width once too long lines wrap.
[[nodiscard]] std::size_t WrappedLineCount(std::string_view text, double columnWidth);

// The width of column `column` of the block: its caption and every cell, plus a little padding,
// within [kMinColumnWidth, kMaxColumnWidth].
[[nodiscard]] double FittedColumnWidth(const GridSnapshot& grid, std::size_t column);

// The height of a block row with these cells in columns of these widths, at most kMaxRowHeight.
[[nodiscard]] double FittedRowHeight(const std::vector<std::string>& cells,
                                     const std::vector<double>& widths);

// Whether a text needs the wrapping format to show as the user expects (a line break, or a line
// longer than its column).
[[nodiscard]] bool NeedsWrap(std::string_view text, double columnWidth);

} // namespace exporting
