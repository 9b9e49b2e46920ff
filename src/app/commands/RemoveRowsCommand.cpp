#include "app/commands/RemoveRowsCommand.h"

#include "app/commands/ReplaceRecordsCommand.h"
#include "app/grid/DocumentTableModel.h"

#include <algorithm>
#include <unordered_map>

namespace app {

RemoveRowsCommand::RemoveRowsCommand(DocumentTableModel& model,
                                     std::vector<std::size_t> rows,
                                     const QString& text)
    : QUndoCommand(text)
    , m_model(model)
    , m_positions(std::move(rows))
{
    std::sort(m_positions.begin(), m_positions.end());
    m_positions.erase(std::unique(m_positions.begin(), m_positions.end()), m_positions.end());
    m_positions.erase(std::lower_bound(m_positions.begin(), m_positions.end(), model.documents().RowCount()),
                      m_positions.end());
    m_records.reserve(m_positions.size());
    for (const std::size_t row : m_positions) {
        m_records.push_back(&model.documents().RecordAt(row));
    }
}

RemoveRowsCommand::~RemoveRowsCommand()
{
    std::vector<std::unique_ptr<engine::DocumentRecord>> records;
    records.reserve(m_removed.size());
    for (auto& row : m_removed) {
        records.push_back(std::move(row.record));
    }
    FreeInBackground(std::move(records));
}

std::vector<std::size_t> RemoveRowsCommand::currentPositions() const
{
    bool inPlace = true;
    for (std::size_t i = 0; i < m_positions.size() && inPlace; ++i) {
        inPlace = m_positions[i] < m_model.documents().RowCount() &&
                  &m_model.documents().RecordAt(m_positions[i]) == m_records[i];
    }
    if (inPlace) {
        return m_positions;
    }
    // Rows added in the meantime come after the removed ones; this only guards the unexpected.
    std::unordered_map<const engine::DocumentRecord*, std::size_t> rowOf;
    rowOf.reserve(m_model.documents().RowCount());
    for (std::size_t row = 0; row < m_model.documents().RowCount(); ++row) {
        rowOf.emplace(&m_model.documents().RecordAt(row), row);
    }
    std::vector<std::size_t> positions;
    for (const engine::DocumentRecord* record : m_records) {
        const auto found = rowOf.find(record);
        if (found == rowOf.end()) {
            return {};
        }
        positions.push_back(found->second);
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

void RemoveRowsCommand::redo()
{
    if (!m_removed.empty()) {
        return;
    }
    const std::vector<std::size_t> positions = currentPositions();
    if (positions.size() == m_positions.size()) {
        m_positions = positions;
        m_removed = m_model.takeRows(m_positions);
    }
}

void RemoveRowsCommand::undo()
{
    if (!m_removed.empty()) {
        m_model.reinsertRows(m_positions, std::move(m_removed));
        m_removed.clear();
    }
}

} // namespace app
