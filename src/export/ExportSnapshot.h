#pragma once

#include "export/ExportFormat.h"
#include "engine/record/Statistics.h"
#include "export/GridSnapshot.h"

#include <span>

#include <string>
#include <vector>

namespace engine {
class DocumentList;
}

namespace exporting {

// What an export of the rows writes in the given format: the grid's columns under the given
// captions, or for CSV the columns an import reads back; the chosen statistics follow them, and
// withCustom adds one column per custom property name. Dates are as the grid shows them, in CSV with
// their offset (see CsvSnapshotOf); datesInUtc writes every date in every format as its instant in UTC.
[[nodiscard]] GridSnapshot ExportSnapshot(ExportFormat format,
                                          const engine::DocumentList& rows,
                                          const std::vector<std::string>& captions,
                                          bool withCustom,
                                          std::span<const engine::Statistic> statistics = {},
                                          bool datesInUtc = false);

} // namespace exporting
