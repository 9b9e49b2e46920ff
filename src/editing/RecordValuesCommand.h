#pragma once

#include "editing/BatchValues.h"
#include "engine/record/DocumentList.h"

#include <QUndoCommand>

#include <string>
#include <vector>

namespace editing {

// Values of their own for each of several records (an import, a fill), staged as one undoable step.
// Only values that differ exactly from a record's text are stored and flagged; undo restores the
// texts, flags and Modified exactly as they were.
class RecordValuesCommand : public QUndoCommand
{
public:
    struct Target
    {
        engine::DocumentRecord* Record = nullptr;
        BatchValues Values;
    };

    RecordValuesCommand(engine::DocumentList& rows, std::vector<Target> targets, const QString& text);

    // True when no value differs from what its record holds: pushing the step would change nothing.
    [[nodiscard]] bool changesNothing() const { return m_changes.empty(); }

    // How many values the step stores.
    [[nodiscard]] std::size_t changeCount() const { return m_changes.size(); }

    void redo() override;
    void undo() override;

private:
    struct Change
    {
        engine::DocumentRecord* Record = nullptr;
        std::size_t Property = 0;
        std::string OldText;
        std::string NewText;
        bool OldChanged = false;
        bool OldModified = false;
    };

    engine::DocumentList& m_rows;
    std::vector<Change> m_changes;
};

} // namespace editing
