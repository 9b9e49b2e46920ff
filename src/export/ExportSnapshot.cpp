#include "export/ExportSnapshot.h"

#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentList.h"
#include "export/BuildCsv.h"
#include "export/CustomColumns.h"
#include "export/RowFields.h"
#include "export/StatisticColumns.h"

namespace exporting {

GridSnapshot ExportSnapshot(ExportFormat format,
                            const engine::DocumentList& rows,
                            const std::vector<std::string>& captions,
                            bool withCustom,
                            std::span<const engine::Statistic> statistics)
{
    if (format == ExportFormat::Csv) {
        GridSnapshot snapshot =
            CsvSnapshotOf(rows, withCustom ? engine::CustomColumnNames(rows) : std::vector<std::string>{});
        if (!statistics.empty()) {
            InsertStatisticColumns(snapshot, rows, RowKeys().size(), statistics);
        }
        return snapshot;
    }
    GridSnapshot snapshot = SnapshotOf(rows, captions);
    if (!statistics.empty()) {
        InsertStatisticColumns(snapshot, rows, captions.size(), statistics);
    }
    if (withCustom) {
        AddCustomColumns(snapshot, rows);
    }
    return snapshot;
}

} // namespace exporting
