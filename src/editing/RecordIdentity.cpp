#include "editing/RecordIdentity.h"

namespace editing {

bool IsListed(const engine::DocumentList& rows, const engine::DocumentRecord* record)
{
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        if (&rows.RecordAt(row) == record) {
            return true;
        }
    }
    return false;
}

std::unordered_set<const engine::DocumentRecord*> ListedRecords(const engine::DocumentList& rows)
{
    std::unordered_set<const engine::DocumentRecord*> listed;
    listed.reserve(rows.RowCount());
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        listed.insert(&rows.RecordAt(row));
    }
    return listed;
}

ListedCheck::ListedCheck(const engine::DocumentList& rows, std::uint64_t versionWhenMade)
{
    if (rows.RecordSetVersion() != versionWhenMade) {
        m_listed = ListedRecords(rows);
    }
}

void RepaintRows(engine::DocumentList& rows)
{
    rows.BeginUpdate();
    rows.EndUpdate();
}

} // namespace editing
