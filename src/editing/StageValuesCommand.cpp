#include "editing/StageValuesCommand.h"

#include "editing/RecordIdentity.h"
#include "engine/record/PropertyValueRule.h"

namespace editing {

std::vector<ValueEdit> SameValuesOn(const std::vector<engine::DocumentRecord*>& records,
                                    const BatchValues& values)
{
    std::vector<ValueEdit> edits;
    edits.reserve(records.size() * values.size());
    for (engine::DocumentRecord* record : records) {
        for (const BatchValue& value : values) {
            edits.push_back(ValueEdit{record, value.Property, value.Value});
        }
    }
    return edits;
}

StageValuesCommand::StageValuesCommand(engine::DocumentList& rows,
                                       std::vector<ValueEdit> edits,
                                       engine::StageRule rule,
                                       const QString& text)
    : QUndoCommand(text)
    , m_rows(rows)
    , m_versionWhenMade(rows.RecordSetVersion())
    , m_rule(rule)
{
    for (const ValueEdit& edit : edits) {
        if (auto problem = engine::PropertyValueProblem(edit.Property, edit.Text)) {
            throw engine::EBadPropertyValue(*problem);
        }
    }
    m_changes.reserve(edits.size());
    for (ValueEdit& edit : edits) {
        const engine::DocumentRecord& record = *edit.Record;
        if (rule == engine::StageRule::RealChangesOnly && record.Value(edit.Property) == edit.Text) {
            continue;
        }
        std::string old = record.Value(edit.Property);
        const bool oldChanged = record.Changed(edit.Property);
        m_changes.push_back(Change{std::move(edit), std::move(old), oldChanged, record.Modified});
    }
}

void StageValuesCommand::redo()
{
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    for (const Change& change : m_changes) {
        if (listed.Listed(change.Edit.Record)) {
            // Checked against the value rule when the step was made: this cannot throw.
            engine::StageValue(*change.Edit.Record, change.Edit.Property, change.Edit.Text, m_rule);
        }
    }
}

void StageValuesCommand::undo()
{
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    // Backwards, so that a record's Modified ends as it was before its first change.
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        engine::DocumentRecord* record = change->Edit.Record;
        if (listed.Listed(record)) {
            record->Value(change->Edit.Property) = change->OldText;
            record->SetChanged(change->Edit.Property, change->OldChanged);
            record->Modified = change->OldModified;
        }
    }
}

} // namespace editing
