#include "cli/StatisticsOutput.h"

#include "cli/JsonWriter.h"
#include "export/RowFields.h"


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

} // namespace cli
