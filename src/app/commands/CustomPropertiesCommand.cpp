#include "app/commands/CustomPropertiesCommand.h"

#include "app/grid/DocumentTableModel.h"
#include "engine/package/WriteProperties.h"

namespace app {

namespace {

// Modified holds while any property of the record waits for a save.
void UpdateModified(engine::DocumentRecord& record)
{
    record.Modified =
        engine::HasCoreChanges(record) || engine::HasAppChanges(record) || engine::HasCustomChanges(record);
}

} // namespace

CustomPropertiesCommand::CustomPropertiesCommand(DocumentTableModel& model,
                                                 const std::vector<std::size_t>& rows,
                                                 std::vector<engine::CustomChange> changes)
    : QUndoCommand(QStringLiteral("Custom Properties"))
    , m_model(model)
    , m_changes(std::move(changes))
{
    for (std::size_t row : rows) {
        const engine::DocumentRecord& record = model.documents().RecordAt(row);
        engine::DocumentRecord copy = record;
        engine::ApplyCustomChanges(copy, m_changes);
        if (copy.Custom != record.Custom) {
            m_rows.push_back({row, copy.FullPath, record.Custom, copy.Custom});
        }
    }
}

void CustomPropertiesCommand::store(const RowState& state,
                                    const engine::CustomProperties& snapshot,
                                    const engine::CustomProperties& from,
                                    const std::vector<engine::CustomChange>& changes)
{
    if (state.Row >= m_model.documents().RowCount() ||
        m_model.documents().RecordAt(state.Row).FullPath != state.FullPath) {
        return;
    }
    engine::DocumentRecord record = m_model.documents().RecordAt(state.Row);
    if (record.Custom == from) {
        record.Custom = snapshot;
    } else {
        try {
            engine::ApplyCustomChanges(record, changes);
        } catch (const engine::ECustomPropertyError&) {
            record.Custom = snapshot; // a type that cannot be set again: its old state is put back
        }
    }
    UpdateModified(record);
    m_model.storeRecord(state.Row, std::move(record));
}

void CustomPropertiesCommand::redo()
{
    DocumentTableModel::UpdateBlock block(m_model);
    for (const RowState& state : m_rows) {
        store(state, state.After, state.Before, m_changes);
    }
}

void CustomPropertiesCommand::undo()
{
    DocumentTableModel::UpdateBlock block(m_model);
    for (const RowState& state : m_rows) {
        store(state, state.Before, state.After, reverseChanges(state));
    }
}

std::vector<engine::CustomChange> CustomPropertiesCommand::reverseChanges(const RowState& state) const
{
    std::vector<engine::CustomChange> reverse;
    for (const engine::CustomChange& change : m_changes) {
        if (const engine::CustomProperty* old = engine::FindCustomProperty(state.Before, change.Name)) {
            reverse.push_back({old->Name, engine::KindOfType(old->Type), old->Value, false});
        } else {
            reverse.push_back({change.Name, engine::CustomKind::Text, {}, true});
        }
    }
    return reverse;
}

} // namespace app
