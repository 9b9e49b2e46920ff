#include "export/BuildText.h"

#include "export/LineEnds.h"

#include <string>

namespace exporting {
namespace {

void AppendLine(std::string& text,
                const std::vector<std::string>& fields,
                std::size_t columnCount,
                std::string_view separator)
{
    for (std::size_t column = 0; column < columnCount; ++column) {
        text += CellAt(fields, column);
        text += separator;
    }
    text += '\n';
}

} // namespace

void BuildText(std::ostream& out, const GridSnapshot& grid, std::string_view separator)
{
    if (grid.Rows.empty()) {
        return;
    }
    std::string text;
    AppendLine(text, grid.Captions, grid.Captions.size(), separator);
    for (const std::vector<std::string>& row : grid.Rows) {
        AppendLine(text, row, grid.Captions.size(), separator);
    }
    WriteWithLineEnds(out, text);
}

} // namespace exporting
