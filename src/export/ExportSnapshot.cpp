#include "export/ExportSnapshot.h"

#include "engine/record/CustomProperties.h"
#include "engine/record/DocumentList.h"
#include "export/BuildCsv.h"
#include "export/CustomColumns.h"
#include "export/DateForm.h"
#include "export/RowFields.h"
#include "export/StatisticColumns.h"

namespace exporting {

GridSnapshot ExportSnapshot(ExportFormat format,
                            const engine::DocumentList& rows,
                            const std::vector<std::string>& captions,
                            bool withCustom,
                            std::span<const engine::Statistic> statistics,
                            bool datesInUtc)
{
    if (format == ExportFormat::Csv) {
        GridSnapshot snapshot =
            CsvSnapshotOf(rows, withCustom ? engine::CustomColumnNames(rows) : std::vector<std::string>{},
                          datesInUtc ? DateForm::Utc : DateForm::WithOffset);
        if (!statistics.empty()) {
            InsertStatisticColumns(snapshot, rows, RowKeys().size(), statistics);
        }
        return snapshot;
    }
    if (datesInUtc) {
        // The other formats write the grid's cell texts: those of copies of the rows, dates in UTC.
        engine::VectorDocumentList utcRows;
        for (std::size_t row = 0; row < rows.RowCount(); ++row) {
            utcRows.AppendRow() = rows.RecordAt(row);
        }
        PutDatesInForm(utcRows, DateForm::Utc);
        return ExportSnapshot(format, utcRows, captions, withCustom, statistics);
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
