#pragma once

#include "engine/record/DocumentList.h"

#include <QUndoCommand>

#include <vector>

namespace app {

class DocumentTableModel;

// Takes rows out of the grid as one undoable step; undo puts the very same rows back where they
// were, with their records (pending edits included) and check states, so that the steps before this
// one find their records again. Nothing changes before the step is pushed (pushing runs redo).
class RemoveRowsCommand : public QUndoCommand
{
public:
    // rows: positions in the grid, in any order.
    RemoveRowsCommand(DocumentTableModel& model, std::vector<std::size_t> rows, const QString& text);
    ~RemoveRowsCommand() override;

    [[nodiscard]] bool isEmpty() const { return m_positions.empty(); }

    void redo() override;
    void undo() override;

private:
    // Where the removed records are now (ascending); empty when one of them is no longer listed.
    [[nodiscard]] std::vector<std::size_t> currentPositions() const;

    DocumentTableModel& m_model;
    std::vector<std::size_t> m_positions; // ascending, as the rows stood before the removal
    std::vector<const engine::DocumentRecord*> m_records;
    std::vector<engine::VectorDocumentList::Row> m_removed; // held while the rows are out
};

} // namespace app
