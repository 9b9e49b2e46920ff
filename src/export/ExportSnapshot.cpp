#include "export/ExportSnapshot.h"

#include "engine/custom/CustomProperties.h"
#include "engine/record/DocumentList.h"
#include "export/BuildCsv.h"
#include "export/CustomColumns.h"

namespace exporting {

GridSnapshot ExportSnapshot(ExportFormat format,
                            const engine::DocumentList& rows,
                            const std::vector<std::string>& captions,
                            bool withCustom)
{
    if (format == ExportFormat::Csv) {
        return CsvSnapshotOf(rows, withCustom ? engine::CustomColumnNames(rows) : std::vector<std::string>{});
    }
    GridSnapshot snapshot = SnapshotOf(rows, captions);
    if (withCustom) {
        AddCustomColumns(snapshot, rows);
    }
    return snapshot;
}

} // namespace exporting
