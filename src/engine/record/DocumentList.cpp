#include "engine/record/DocumentList.h"

#include <utility>

namespace engine {

DocumentRecord& VectorDocumentList::AppendRow()
{
    m_rows.push_back(Row{std::make_unique<DocumentRecord>(), kUnchecked});
    return *m_rows.back().record;
}

void VectorDocumentList::DeleteRow(std::size_t row)
{
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    RecordSetChanged();
}

std::vector<VectorDocumentList::Row> VectorDocumentList::TakeRows()
{
    RecordSetChanged();
    return std::exchange(m_rows, {});
}

} // namespace engine
