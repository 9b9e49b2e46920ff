#include "export/SpreadsheetFit.h"

#include "archive/Utf8.h"

#include <algorithm>
#include <cmath>

namespace exporting {
namespace {

// The blank a cell keeps around its text, in characters.
constexpr double kPadding = 1.0;

template <typename Visit> void ForEachLine(std::string_view text, Visit visit)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            visit(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    visit(text.substr(start));
}

std::size_t CharactersPerLine(double columnWidth)
{
    return static_cast<std::size_t>(std::max(1.0, std::floor(columnWidth - kPadding)));
}

} // namespace

std::size_t LongestLine(std::string_view text)
{
    std::size_t longest = 0;
    ForEachLine(text,
                [&](std::string_view line) { longest = std::max(longest, archive::CountCodePoints(line)); });
    return longest;
}

std::size_t WrappedLineCount(std::string_view text, double columnWidth)
{
    const std::size_t perLine = CharactersPerLine(columnWidth);
    std::size_t count = 0;
    ForEachLine(text, [&](std::string_view line) {
        const std::size_t length = archive::CountCodePoints(line);
        count += length == 0 ? 1 : (length + perLine - 1) / perLine;
    });
    return count;
}

double FittedColumnWidth(const GridSnapshot& grid, std::size_t column)
{
    std::size_t longest = column < grid.Captions.size() ? LongestLine(grid.Captions[column]) : 0;
    for (const std::vector<std::string>& row : grid.Rows) {
        if (column < row.size()) {
            longest = std::max(longest, LongestLine(row[column]));
        }
    }
    return std::clamp(static_cast<double>(longest) + kPadding, kMinColumnWidth, kMaxColumnWidth);
}

double FittedRowHeight(const std::vector<std::string>& cells, const std::vector<double>& widths)
{
    std::size_t lines = 1;
    for (std::size_t column = 0; column < cells.size() && column < widths.size(); ++column) {
        lines = std::max(lines, WrappedLineCount(cells[column], widths[column]));
    }
    return std::min(kMaxRowHeight, static_cast<double>(lines) * kLineHeight);
}

bool NeedsWrap(std::string_view text, double columnWidth)
{
    return text.find_first_of("\r\n") != std::string_view::npos ||
           LongestLine(text) > CharactersPerLine(columnWidth);
}

} // namespace exporting
