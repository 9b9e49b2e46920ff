// The import readers on arbitrary bytes: a CSV text, or a workbook written to a file, read into a
// table and interpreted. Any exception other than the import's own error, any sanitizer report, a
// row or cell beyond the import's limits, or a table without a row number per row is a finding.
// The first byte picks CSV (even) or a workbook (odd).
#include "FuzzSupport.h"
#include "engine/tables/ImportPlan.h"
#include "engine/tables/ImportTable.h"

#include <cstdint>
#include <string>

namespace {

void CheckTable(const engine::ImportTable& table)
{
    if (table.RowNumbers.size() != table.Rows.size()) {
        fuzzing::Fail("a row without its number");
    }
    for (const auto& row : table.Rows) {
        if (row.size() > engine::kMaxImportColumns) {
            fuzzing::Fail("a row wider than the column limit");
        }
        for (const std::string& cell : row) {
            if (cell.size() > engine::kMaxImportCellBytes) {
                fuzzing::Fail("a cell longer than the cell limit");
            }
        }
    }
    try {
        (void)engine::InterpretImportTable(table, engine::ImportOptions{});
    } catch (const engine::EImportError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const bool csv = (data[0] & 1) == 0;
    try {
        if (csv) {
            CheckTable(engine::ReadCsvTable(std::string(reinterpret_cast<const char*>(data) + 1, size - 1),
                                            "in.csv"));
        } else {
            CheckTable(engine::ReadXlsxTable(fuzzing::WriteInput(data + 1, size - 1, "in.xlsx")));
        }
    } catch (const engine::EImportError&) {
    }
    return 0;
}
