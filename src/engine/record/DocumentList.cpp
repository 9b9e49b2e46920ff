#include "engine/record/DocumentList.h"

#include <algorithm>
#include <iterator>
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

void VectorDocumentList::AppendRows(std::vector<Row>&& rows)
{
    m_rows.reserve(m_rows.size() + rows.size());
    std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    RecordSetChanged();
}

std::vector<VectorDocumentList::Row> VectorDocumentList::TakeRows()
{
    RecordSetChanged();
    return std::exchange(m_rows, {});
}

} // namespace engine
