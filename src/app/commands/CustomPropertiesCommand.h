#pragma once

#include "engine/custom/CustomProperties.h"

#include <QUndoCommand>

#include <string>
#include <vector>

namespace app {

class DocumentTableModel;

// Custom property changes staged on some rows as one undoable step. Undo puts the rows back as they
// were when nothing happened to them since; after a save it stages the reverse changes instead, so
// that the package gets its old properties back with the next save.
class CustomPropertiesCommand : public QUndoCommand
{
public:
    // Works out every row's new state first: throws engine::ECustomPropertyError, changing nothing,
    // when a change cannot be applied to one of the rows. Rows the changes leave as they are (a
    // value a package holds already) are not part of the step.
    CustomPropertiesCommand(DocumentTableModel& model,
                            const std::vector<std::size_t>& rows,
                            std::vector<engine::CustomChange> changes);

    // True when no row would change: such a step is not worth an undo entry.
    [[nodiscard]] bool changesNothing() const { return m_rows.empty(); }

    void redo() override;
    void undo() override;

private:
    struct RowState
    {
        std::size_t Row = 0;
        std::string FullPath; // the row is left alone when it no longer holds this package
        engine::CustomProperties Before;
        engine::CustomProperties After;
    };

    // The changes that give back what the row held before.
    [[nodiscard]] std::vector<engine::CustomChange> reverseChanges(const RowState& state) const;
    void store(const RowState& state,
               const engine::CustomProperties& snapshot,
               const engine::CustomProperties& from,
               const std::vector<engine::CustomChange>& changes);

    DocumentTableModel& m_model;
    std::vector<engine::CustomChange> m_changes;
    std::vector<RowState> m_rows;
};

} // namespace app
