#pragma once

#include "engine/record/DocumentList.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// The grid's twenty columns as an aligned text table: a header line, then one line per row with the
// cell texts the grid shows (sizes formatted, dates in local time). Line breaks and other control
// characters inside a cell are shown as blanks so that every row stays on one line. withStatistics
// adds the ten statistics after the twenty; one more column per custom property name follows.
// The same table written a batch of rows at a time, each batch as soon as it is added: the column
// widths are those of the header and the first batch, and a later cell wider than its column
// pushes the rest of its line to the right (two blanks still part the columns).
class TableStream
{
public:
    TableStream(std::ostream& out, std::vector<std::string> customNames, bool withStatistics);

    void Add(const engine::DocumentList& rows);
    // Writes the header when no row was added.
    void Finish();

private:
    [[nodiscard]] std::vector<std::string> CellsOf(const engine::DocumentRecord& record) const;
    void WriteLine(const std::vector<std::string>& cells);

    std::ostream& m_out;
    const std::vector<std::string> m_customNames;
    const bool m_withStatistics;
    std::vector<std::string> m_header;
    std::vector<std::size_t> m_widths;
    bool m_headerWritten = false;
};

void WriteTable(std::ostream& out,
                const engine::DocumentList& rows,
                const std::vector<std::string>& customNames = {},
                bool withStatistics = false);

} // namespace cli
