#pragma once

#include "engine/record/DocumentRecord.h"

#include <QUndoCommand>

#include <memory>
#include <vector>

namespace app {

class DocumentTableModel;

// A record meant for the row at a position of the grid.
struct RowRecord
{
    std::size_t Row = 0;
    std::unique_ptr<engine::DocumentRecord> Record;
};

// Puts other records into some rows as one undoable step (a reread from disk), and on undo the
// rows' own records back, pending edits and all. The very record objects go back and forth, never
// copies, so the steps before this one, which point at records, find theirs again. Check states
// stay with the rows. Nothing changes before the step is pushed (pushing runs redo).
class ReplaceRecordsCommand : public QUndoCommand
{
public:
    ReplaceRecordsCommand(DocumentTableModel& model, std::vector<RowRecord> records, const QString& text);
    ~ReplaceRecordsCommand() override;

    // True when the step holds no record: pushing it would change nothing.
    [[nodiscard]] bool isEmpty() const { return m_held.empty(); }

    void redo() override;
    void undo() override;

private:
    // Swaps the held records with those of their rows: redo and undo are the same move.
    void exchange();

    DocumentTableModel& m_model;
    std::vector<RowRecord> m_held;
    // Per held record, the record its row holds now; a row holding another one is left alone.
    std::vector<const engine::DocumentRecord*> m_inRow;
};

// Frees records on a pool thread: with 100,000 rows freeing them would freeze the window.
void FreeInBackground(std::vector<std::unique_ptr<engine::DocumentRecord>> records);

} // namespace app
