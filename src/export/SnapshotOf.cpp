#include "engine/base/AbsolutePath.h"
#include "engine/record/CellText.h"
#include "engine/record/DocumentList.h"
#include "export/GridSnapshot.h"

namespace exporting {
namespace {

constexpr std::size_t kFullPathColumn = 1;

} // namespace

GridSnapshot SnapshotOf(const engine::DocumentList& list, const std::vector<std::string>& captions)
{
    GridSnapshot snapshot;
    snapshot.Captions = captions;
    snapshot.Rows.reserve(list.RowCount());
    for (std::size_t row = 0; row < list.RowCount(); ++row) {
        const engine::DocumentRecord& record = list.RecordAt(row);
        std::vector<std::string> cells;
        cells.reserve(captions.size());
        for (std::size_t column = 0; column < captions.size(); ++column) {
            // A full path that still works from another folder, so that the table can be imported there.
            cells.push_back(column == kFullPathColumn ? engine::AbsolutePath(record.FullPath)
                                                      : engine::CellText(record, static_cast<int>(column)));
        }
        snapshot.Rows.push_back(std::move(cells));
    }
    return snapshot;
}

} // namespace exporting
