#pragma once

#include "engine/record/DocumentList.h"
#include "engine/record/EditState.h"

#include <QUndoCommand>

#include <cstdint>
#include <memory>
#include <vector>

namespace editing {

// The edits meant for one record. Records given the same edits share one RecordChanges.
struct RecordEdit
{
    engine::DocumentRecord* Record = nullptr;
    std::shared_ptr<const engine::RecordChanges> Changes;
};

// The same edits on each of the records (Batch Modify, Remove Personal Information, Custom
// Properties).
[[nodiscard]] std::vector<RecordEdit> SameChangesOn(const std::vector<engine::DocumentRecord*>& records,
                                                    engine::RecordChanges changes);

// The one step of Undo for any edit of records: a cell edit, Batch Modify, a fill, an import,
// Remove Personal Information, custom properties, changes taken back in a review. It snapshots what
// the edits may touch on each record, applies them with engine::ApplyRecordChanges, and puts the
// snapshots back on undo. Rows leaving or coming back are steps of their own.
class RecordEditCommand : public QUndoCommand
{
public:
    // Applies the edits at once. A record the edits leave exactly as it was is not part of the
    // step. When an edit cannot be applied (engine::EBadPropertyValue, engine::ECustomPropertyError)
    // every record is put back as it was and the exception goes on. Pushing the step does not
    // apply the edits again; a step not worth pushing (changesNothing) changed nothing.
    RecordEditCommand(engine::DocumentList& rows, std::vector<RecordEdit> edits, const QString& text);

    // True when no record changed: pushing the step is pointless.
    [[nodiscard]] bool changesNothing() const { return m_held.empty(); }

    // How many records the step changed.
    [[nodiscard]] std::size_t recordCount() const { return m_held.size(); }

    void redo() override;
    void undo() override;

private:
    struct Held
    {
        RecordEdit Edit;
        engine::RecordSnapshot Before;
    };

    engine::DocumentList& m_rows;
    // The list's RecordSetVersion when the step was made (see ListedCheck).
    std::uint64_t m_versionWhenMade = 0;
    std::vector<Held> m_held;
    bool m_applied = true; // the constructor applied the edits; the push's redo has nothing to do
};

} // namespace editing
