#include "editing/RecordValuesCommand.h"

#include "editing/RecordIdentity.h"

namespace editing {

RecordValuesCommand::RecordValuesCommand(engine::DocumentList& rows,
                                         std::vector<Target> targets,
                                         const QString& text)
    : m_rows(rows)
{
    setText(text);
    for (Target& target : targets) {
        engine::DocumentRecord& record = *target.Record;
        for (BatchValue& value : target.Values) {
            if (record.Value(value.Property) == value.Value) {
                continue;
            }
            m_changes.push_back(Change{&record, value.Property, record.Value(value.Property),
                                       std::move(value.Value), record.Changed(value.Property),
                                       record.Modified});
        }
    }
}

void RecordValuesCommand::redo()
{
    const auto listed = ListedRecords(m_rows);
    m_rows.BeginUpdate();
    for (const Change& change : m_changes) {
        if (listed.contains(change.Record)) {
            change.Record->Value(change.Property) = change.NewText;
            change.Record->SetChanged(change.Property, true);
            change.Record->Modified = true;
        }
    }
    m_rows.EndUpdate();
}

void RecordValuesCommand::undo()
{
    const auto listed = ListedRecords(m_rows);
    m_rows.BeginUpdate();
    // Backwards, so that a record's Modified ends as it was before its first change.
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        if (listed.contains(change->Record)) {
            change->Record->Value(change->Property) = change->OldText;
            change->Record->SetChanged(change->Property, change->OldChanged);
            change->Record->Modified = change->OldModified;
        }
    }
    m_rows.EndUpdate();
}

} // namespace editing
