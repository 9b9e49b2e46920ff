#include "engine/record/RowSubsetList.h"

#include <stdexcept>
#include <utility>

namespace engine {

RowSubsetList::RowSubsetList(DocumentList& rows, std::vector<std::size_t> chosen)
    : m_rows(rows)
    , m_chosen(std::move(chosen))
{
    for (const std::size_t row : m_chosen) {
        if (row >= m_rows.RowCount()) {
            throw std::out_of_range("RowSubsetList: row out of range");
        }
    }
}

DocumentRecord& RowSubsetList::AppendRow()
{
    throw std::logic_error("RowSubsetList: rows cannot be added");
}

DocumentRecord& RowSubsetList::RecordAt(std::size_t row)
{
    return m_rows.RecordAt(m_chosen.at(row));
}

const DocumentRecord& RowSubsetList::RecordAt(std::size_t row) const
{
    return std::as_const(m_rows).RecordAt(m_chosen.at(row));
}

int RowSubsetList::CheckState(std::size_t row) const
{
    return m_rows.CheckState(m_chosen.at(row));
}

void RowSubsetList::SetCheckState(std::size_t row, int state)
{
    m_rows.SetCheckState(m_chosen.at(row), state);
}

void RowSubsetList::DeleteRow(std::size_t /*row*/)
{
    throw std::logic_error("RowSubsetList: rows cannot be deleted");
}

} // namespace engine
