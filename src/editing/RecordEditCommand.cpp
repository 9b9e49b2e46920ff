#include "editing/RecordEditCommand.h"

#include "editing/RecordIdentity.h"

namespace editing {

std::vector<RecordEdit> SameChangesOn(const std::vector<engine::DocumentRecord*>& records,
                                      engine::RecordChanges changes)
{
    const auto shared = std::make_shared<const engine::RecordChanges>(std::move(changes));
    std::vector<RecordEdit> edits;
    edits.reserve(records.size());
    for (engine::DocumentRecord* record : records) {
        edits.push_back(RecordEdit{record, shared});
    }
    return edits;
}

RecordEditCommand::RecordEditCommand(engine::DocumentList& rows,
                                     std::vector<RecordEdit> edits,
                                     const QString& text)
    : QUndoCommand(text)
    , m_rows(rows)
    , m_versionWhenMade(rows.RecordSetVersion())
{
    m_held.reserve(edits.size());
    try {
        for (RecordEdit& edit : edits) {
            const engine::RecordChanges& changes = *edit.Changes;
            engine::RecordSnapshot before(*edit.Record, changes.TouchedProperties(), changes.TouchesCustom());
            m_held.push_back(Held{std::move(edit), std::move(before)});
            engine::ApplyRecordChanges(*m_held.back().Edit.Record, changes);
            if (m_held.back().Before.SameAs(*m_held.back().Edit.Record)) {
                m_held.pop_back();
            }
        }
    } catch (...) {
        // Nothing was shown yet: the records are put back without a repaint.
        for (auto held = m_held.rbegin(); held != m_held.rend(); ++held) {
            held->Before.RestoreTo(*held->Edit.Record);
        }
        m_held.clear();
        throw;
    }
    m_held.shrink_to_fit();
    // A view repaints once, and not at all for a step that changed nothing.
    if (!m_held.empty()) {
        RepaintRows(m_rows);
    }
}

void RecordEditCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    for (const Held& held : m_held) {
        if (listed.Listed(held.Edit.Record)) {
            // Applied once already from this very state: this cannot throw.
            engine::ApplyRecordChanges(*held.Edit.Record, *held.Edit.Changes);
        }
    }
}

void RecordEditCommand::undo()
{
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    // Backwards, so that a record named twice ends as it was before its first edit.
    for (auto held = m_held.rbegin(); held != m_held.rend(); ++held) {
        if (listed.Listed(held->Edit.Record)) {
            held->Before.RestoreTo(*held->Edit.Record);
        }
    }
}

} // namespace editing
