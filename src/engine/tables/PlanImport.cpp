#include "engine/tables/PlanImport.h"

#include <algorithm>
#include <utility>

namespace engine {

PlannedImport PlanImport(const ImportSheet& sheet,
                         const std::vector<const DocumentRecord*>& records,
                         const std::filesystem::path& base)
{
    PlannedImport plan;
    plan.Match = MatchImportRows(sheet, records, base);
    plan.Records.reserve(plan.Match.Pairs.size());
    for (const auto& [sheetRow, recordIndex] : plan.Match.Pairs) {
        const DocumentRecord& record = *records[recordIndex];
        if (!record.LastError.empty()) {
            plan.Unreadable.push_back(recordIndex);
            continue;
        }
        const ImportRow& row = sheet.Rows[sheetRow];
        // Tried on a copy, so that a custom value its property's type cannot hold is found now.
        DocumentRecord trial = record;
        PlannedRecord planned;
        planned.Record = recordIndex;
        planned.Preview = ApplyImportRow(sheet, row, trial, plan.InvalidCustomCells);
        for (const ImportValue& value : row.Values) {
            planned.Changes.Values.push_back(StagedText{value.Property, value.Text});
        }
        for (CustomChange& change : ImportCustomChanges(row, record)) {
            const bool valid = std::any_of(planned.Preview.begin(), planned.Preview.end(),
                                           [&](const PendingChange& done) { return done.CustomName == change.Name; });
            if (valid) {
                planned.Changes.Custom.push_back(std::move(change));
            }
        }
        plan.Records.push_back(std::move(planned));
    }
    return plan;
}

} // namespace engine
