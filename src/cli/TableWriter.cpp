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

TableStream::TableStream(std::ostream& out, std::vector<std::string> customNames, bool withStatistics)
    : m_out(out)
    , m_customNames(std::move(customNames))
    , m_withStatistics(withStatistics)
{
    const std::vector<std::string>& keys = exporting::RowKeys();
    m_header.assign(keys.begin(), keys.begin() + engine::kColumnCount);
    for (std::size_t i = 0; m_withStatistics && i < engine::kStatisticCount; ++i) {
        m_header.push_back(engine::StatisticCaption(static_cast<engine::Statistic>(i)));
    }
    for (const std::string& name : m_customNames) {
        m_header.push_back(OneLine(engine::CustomColumnCaption(name)));
    }
}

std::vector<std::string> TableStream::CellsOf(const engine::DocumentRecord& record) const
{
    std::vector<std::string> cells;
    cells.reserve(m_header.size());
    for (int column = 0; column < engine::kColumnCount; ++column) {
        cells.push_back(OneLine(engine::CellText(record, column)));
    }
    for (std::size_t i = 0; m_withStatistics && i < engine::kStatisticCount; ++i) {
        cells.push_back(OneLine(std::string(record.Statistics[i])));
    }
    for (const std::string& value : engine::CustomCells(record, m_customNames)) {
        cells.push_back(OneLine(value));
    }
    return cells;
}

void TableStream::WriteLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        line += cells[c];
        if (c + 1 < cells.size()) {
            const std::size_t shown = archive::CountCodePoints(cells[c]);
            line.append(std::max(m_widths[c], shown) - shown + 2, ' ');
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    m_out << line << '\n';
}

void TableStream::Add(const engine::DocumentList& rows)
{
    std::vector<std::vector<std::string>> lines;
    lines.reserve(rows.RowCount());
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        lines.push_back(CellsOf(rows.RecordAt(row)));
    }
    if (!m_headerWritten) {
        m_widths.assign(m_header.size(), 0);
        for (std::size_t c = 0; c < m_header.size(); ++c) {
            m_widths[c] = archive::CountCodePoints(m_header[c]);
        }
        for (const auto& cells : lines) {
            for (std::size_t c = 0; c < cells.size(); ++c) {
                m_widths[c] = std::max(m_widths[c], archive::CountCodePoints(cells[c]));
            }
        }
        WriteLine(m_header);
        m_headerWritten = true;
    }
    for (const auto& cells : lines) {
        WriteLine(cells);
    }
}

void TableStream::Finish()
{
    if (!m_headerWritten) {
        Add(engine::VectorDocumentList{});
    }
}

void WriteTable(std::ostream& out,
                const engine::DocumentList& rows,
                const std::vector<std::string>& customNames,
                bool withStatistics)
{
    TableStream table(out, customNames, withStatistics);
    table.Add(rows);
    table.Finish();
}

} // namespace cli
