#include "export/StatisticColumns.h"

#include "export/RowFields.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace exporting {

void InsertStatisticColumns(GridSnapshot& grid,
                            const engine::DocumentList& rows,
                            std::size_t at,
                            std::span<const engine::Statistic> statistics)
{
    std::vector<engine::Statistic> chosen(statistics.begin(), statistics.end());
    if (chosen.empty()) {
        for (std::size_t i = 0; i < engine::kStatisticCount; ++i) {
            chosen.push_back(static_cast<engine::Statistic>(i));
        }
    }
    at = std::min(at, grid.Captions.size());
    std::vector<std::string> captions;
    std::vector<std::string> attributeNames;
    for (const engine::Statistic statistic : chosen) {
        captions.push_back(engine::StatisticCaption(statistic));
        attributeNames.push_back("Statistic_" + std::string(engine::StatisticName(statistic)));
    }
    const auto offset = static_cast<std::ptrdiff_t>(at);
    grid.Captions.insert(grid.Captions.begin() + offset, captions.begin(), captions.end());
    // Names before the insertion point keep their columns; missing ones stay derived from captions.
    if (grid.AttributeNames.size() < at) {
        grid.AttributeNames.resize(at);
    }
    grid.AttributeNames.insert(grid.AttributeNames.begin() + offset, attributeNames.begin(),
                               attributeNames.end());
    for (std::size_t row = 0; row < grid.Rows.size() && row < rows.RowCount(); ++row) {
        const engine::DocumentRecord& record = rows.RecordAt(row);
        std::vector<std::string> cells;
        for (const engine::Statistic statistic : chosen) {
            cells.push_back(ValidText(record.StatisticText(statistic)));
        }
        std::vector<std::string>& fields = grid.Rows[row];
        fields.insert(fields.begin() + static_cast<std::ptrdiff_t>(std::min(at, fields.size())),
                      std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
    }
}

} // namespace exporting
