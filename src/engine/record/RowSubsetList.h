#pragma once

#include "engine/record/DocumentList.h"

#include <cstddef>
#include <vector>

namespace engine {

// Chosen rows of another list, in the order given, read as a list of their own: what an export
// of the rows a view shows walks. Records and check states are those of the underlying rows;
// rows cannot be added or deleted through it.
class RowSubsetList : public DocumentList
{
public:
    RowSubsetList(DocumentList& rows, std::vector<std::size_t> chosen);

    DocumentRecord& AppendRow() override;

    [[nodiscard]] std::size_t RowCount() const override { return m_chosen.size(); }

    [[nodiscard]] DocumentRecord& RecordAt(std::size_t row) override;
    [[nodiscard]] const DocumentRecord& RecordAt(std::size_t row) const override;
    [[nodiscard]] int CheckState(std::size_t row) const override;
    void SetCheckState(std::size_t row, int state) override;
    void DeleteRow(std::size_t row) override;

private:
    DocumentList& m_rows;
    std::vector<std::size_t> m_chosen;
};

} // namespace engine
