#include "editing/BatchApplyCommand.h"

#include "editing/RecordIdentity.h"

namespace editing {

BatchApplyCommand::BatchApplyCommand(engine::DocumentList& rows,
                                     std::vector<engine::DocumentRecord*> targets,
                                     BatchValues values)
    : m_rows(rows)
    , m_targets(std::move(targets))
    , m_values(std::move(values))
{
    setText(QStringLiteral("Batch Modify"));
    m_oldTexts.reserve(m_targets.size() * m_values.size());
    m_oldChanged.reserve(m_targets.size() * m_values.size());
    m_oldModified.reserve(m_targets.size());
    for (const engine::DocumentRecord* record : m_targets) {
        for (const BatchValue& value : m_values) {
            m_oldTexts.push_back(record->Value(value.Property));
            m_oldChanged.push_back(record->Changed(value.Property) ? 1 : 0);
        }
        m_oldModified.push_back(record->Modified ? 1 : 0);
    }
}

void BatchApplyCommand::redo()
{
    const auto listed = ListedRecords(m_rows);
    m_rows.BeginUpdate();
    for (engine::DocumentRecord* record : m_targets) {
        if (listed.contains(record)) {
            ApplyBatchValues(*record, m_values);
        }
    }
    m_rows.EndUpdate();
}

void BatchApplyCommand::undo()
{
    const auto listed = ListedRecords(m_rows);
    m_rows.BeginUpdate();
    std::size_t old = 0;
    for (std::size_t t = 0; t < m_targets.size(); ++t, old += m_values.size()) {
        engine::DocumentRecord* record = m_targets[t];
        if (!listed.contains(record)) {
            continue;
        }
        for (std::size_t v = 0; v < m_values.size(); ++v) {
            record->Value(m_values[v].Property) = m_oldTexts[old + v];
            record->SetChanged(m_values[v].Property, m_oldChanged[old + v] != 0);
        }
        record->Modified = m_oldModified[t] != 0;
    }
    m_rows.EndUpdate();
}

} // namespace editing
