#pragma once

#include "engine/record/DocumentList.h"
#include "engine/record/Statistics.h"
#include "export/GridSnapshot.h"

#include <cstddef>
#include <span>

namespace exporting {

// Inserts one column per statistic before column at, captioned engine::StatisticCaption
// ("Statistic:Slides", a caption import passes over) and named "Statistic_Slides" in XML, holding
// each row's text as the package stores it. Without statistics: all ten, in their order.
void InsertStatisticColumns(GridSnapshot& grid,
                            const engine::DocumentList& rows,
                            std::size_t at,
                            std::span<const engine::Statistic> statistics = {});

} // namespace exporting
