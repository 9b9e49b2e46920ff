#include "cli/TableWriter.h"

#include "archive/Utf8.h"
#include "engine/parts/CustomColumnCaption.h"
#include "engine/record/CellText.h"
#include "export/RowFields.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cli {

namespace {

std::string OneLine(const std::string& text)
{
    std::string line = archive::RepairUtf8(text, archive::kReplacementCharacter);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; },
        ' ');
    return line;
}

} // namespace

void WriteTable(std::ostream& out,
                const engine::DocumentList& rows,
                const std::vector<std::string>& customNames,
                bool withStatistics)
{
    std::vector<std::vector<std::string>> lines;
    const std::vector<std::string>& keys = exporting::RowKeys();
    lines.emplace_back(keys.begin(), keys.begin() + engine::kColumnCount);
    for (std::size_t i = 0; withStatistics && i < engine::kStatisticCount; ++i) {
        lines.front().push_back(engine::StatisticCaption(static_cast<engine::Statistic>(i)));
    }
    for (const std::string& name : customNames) {
        lines.front().push_back(OneLine(engine::CustomColumnCaption(name)));
    }
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < engine::kColumnCount; ++column) {
            cells.push_back(OneLine(engine::CellText(rows.RecordAt(row), column)));
        }
        for (std::size_t i = 0; withStatistics && i < engine::kStatisticCount; ++i) {
            cells.push_back(OneLine(std::string(rows.RecordAt(row).Statistics[i])));
        }
        for (const std::string& value : engine::CustomCells(rows.RecordAt(row), customNames)) {
            cells.push_back(OneLine(value));
        }
        lines.push_back(std::move(cells));
    }
    std::vector<std::size_t> widths(lines.front().size(), 0);
    for (const auto& cells : lines) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            widths[c] = std::max(widths[c], archive::CountCodePoints(cells[c]));
        }
    }
    for (const auto& cells : lines) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line += cells[c];
            if (c + 1 < cells.size()) {
                line.append(widths[c] - archive::CountCodePoints(cells[c]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

} // namespace cli
