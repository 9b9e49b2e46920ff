#include "editing/DropChangesCommand.h"

#include "editing/RecordIdentity.h"

namespace editing {

DropChangesCommand::DropChangesCommand(engine::DocumentList& rows, std::vector<RecordDrops> drops)
    : m_rows(rows)
    , m_versionWhenMade(rows.RecordSetVersion())
    , m_drops(std::move(drops))
{
    setText(QStringLiteral("Review Changes"));
    m_before.reserve(m_drops.size());
    for (const RecordDrops& drop : m_drops) {
        const engine::DocumentRecord& record = *drop.Record;
        EditState state;
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            state.Values[p] = record.Value(p);
            state.Changed[p] = record.Changed(p);
        }
        state.Modified = record.Modified;
        state.Custom = record.Custom;
        m_before.push_back(std::move(state));
    }
}

void DropChangesCommand::redo()
{
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    for (const RecordDrops& drop : m_drops) {
        if (!listed.Listed(drop.Record)) {
            continue;
        }
        for (const engine::PendingChange& change : drop.Changes) {
            engine::DropChange(*drop.Record, change);
        }
    }
}

void DropChangesCommand::undo()
{
    const ListedCheck listed(m_rows, m_versionWhenMade);
    const engine::UpdateScope update(m_rows);
    for (std::size_t i = 0; i < m_drops.size(); ++i) {
        engine::DocumentRecord* record = m_drops[i].Record;
        if (!listed.Listed(record)) {
            continue;
        }
        const EditState& state = m_before[i];
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            record->Value(p) = state.Values[p];
            record->SetChanged(p, state.Changed[p]);
        }
        record->Modified = state.Modified;
        record->Custom = state.Custom;
    }
}

} // namespace editing
