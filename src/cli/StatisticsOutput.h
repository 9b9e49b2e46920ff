#pragma once

#include "engine/record/DocumentList.h"
#include "export/GridSnapshot.h"

#include <cstddef>
#include <string>

// The statistics of the app part in show's outputs (--stats), each under its name.
namespace cli {

// The JSON object {"Application": ..., "HyperlinkBase": ...} of a record's ten statistics, the texts
// as the package stores them.
std::string JsonStatisticsObject(const engine::DocumentRecord& record);

// Inserts the ten statistic columns (captioned engine::StatisticCaption) into the grid before column at.
void InsertStatisticColumns(exporting::GridSnapshot& grid, const engine::DocumentList& rows, std::size_t at);

} // namespace cli
