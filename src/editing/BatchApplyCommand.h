#pragma once

#include "editing/BatchValues.h"
#include "engine/record/DocumentList.h"

#include <QUndoCommand>

#include <string>
#include <vector>

namespace editing {

// One Batch Modify apply over many records, in one pass with one repaint; undo restores each
// record's texts, changed flags and Modified exactly as they were.
class BatchApplyCommand : public QUndoCommand
{
public:
    BatchApplyCommand(engine::DocumentList& rows,
                      std::vector<engine::DocumentRecord*> targets,
                      BatchValues values);

    void redo() override;
    void undo() override;

private:
    engine::DocumentList& m_rows;
    std::vector<engine::DocumentRecord*> m_targets;
    BatchValues m_values;
    // Per target, the values.size() texts and flags before the apply, and its Modified.
    std::vector<std::string> m_oldTexts;
    std::vector<char> m_oldChanged;
    std::vector<char> m_oldModified;
};

} // namespace editing
