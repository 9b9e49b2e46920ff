#pragma once

#include "engine/record/DocumentRecord.h"
#include "engine/record/EditState.h"
#include "engine/record/PendingChanges.h"
#include "engine/tables/ImportPlan.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// What importing a table into some records would do, worked out once for every front end: the
// window's preview and the command-line tool show it and apply it, nothing more.
namespace engine {

// One matched row of the table and the record it names.
struct PlannedRecord
{
    std::size_t Record = 0; // index into the records planned for
    // The row's values, and the custom changes the record's property types can hold.
    RecordChanges Changes;
    // What applying Changes changes on the record as it is now; empty when it holds every value.
    std::vector<PendingChange> Preview;
};

struct PlannedImport
{
    std::vector<PlannedRecord> Records; // in the order of the table's rows
    // Records a row names whose last load failed (indexes): they are left as they are.
    std::vector<std::size_t> Unreadable;
    // Rows naming another package (Unmatched) or no file at all (Missing), as MatchImportRows gives them.
    ImportMatch Match;
    // Custom cells the type of their record's property cannot hold: "FILE:ROW: Custom:NAME: reason".
    std::vector<std::string> InvalidCustomCells;
};

// Matches the sheet's rows with the records and tries each matched row on a copy of its record;
// the records are not changed. Throws EImportError as MatchImportRows does.
[[nodiscard]] PlannedImport PlanImport(const ImportSheet& sheet,
                                       const std::vector<const DocumentRecord*>& records,
                                       const std::filesystem::path& base);

} // namespace engine
