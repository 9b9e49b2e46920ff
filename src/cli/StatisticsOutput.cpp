#include "cli/StatisticsOutput.h"

#include "cli/JsonWriter.h"
#include "export/RowFields.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace cli {

std::string JsonStatisticsObject(const engine::DocumentRecord& record)
{
    std::string json = "{";
    for (std::size_t i = 0; i < engine::kStatisticCount; ++i) {
        json += i == 0 ? "\n   " : ",\n   ";
        AppendJsonString(json, engine::StatisticNames[i]);
        json += ": ";
        AppendJsonString(json, exporting::ValidText(record.Statistics[i]));
    }
    return json + "\n  }";
}

void InsertStatisticColumns(exporting::GridSnapshot& grid, const engine::DocumentList& rows, std::size_t at)
{
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < engine::kStatisticCount; ++i) {
        captions.push_back(engine::StatisticCaption(static_cast<engine::Statistic>(i)));
    }
    grid.Captions.insert(grid.Captions.begin() + static_cast<std::ptrdiff_t>(at), captions.begin(),
                         captions.end());
    for (std::size_t row = 0; row < grid.Rows.size() && row < rows.RowCount(); ++row) {
        const engine::DocumentRecord& record = rows.RecordAt(row);
        std::vector<std::string> cells;
        for (std::size_t i = 0; i < engine::kStatisticCount; ++i) {
            cells.push_back(exporting::ValidText(record.Statistics[i]));
        }
        std::vector<std::string>& fields = grid.Rows[row];
        fields.insert(fields.begin() + static_cast<std::ptrdiff_t>(std::min(at, fields.size())),
                      std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
    }
}

} // namespace cli
