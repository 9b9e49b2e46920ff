#pragma once

#include "engine/record/DocumentList.h"

#include <QUndoCommand>

#include <string>

namespace editing {

// One stored cell edit: the new text with its changed flag and Modified, and on undo the text and
// both flags exactly as they were.
class CellEditCommand : public QUndoCommand
{
public:
    CellEditCommand(engine::DocumentList& rows,
                    engine::DocumentRecord& record,
                    std::size_t p,
                    std::string text);

    void redo() override;
    void undo() override;

private:
    void store(const std::string& text, bool changed, bool modified);

    engine::DocumentList& m_rows;
    engine::DocumentRecord* m_record;
    std::size_t m_property;
    std::string m_newText;
    std::string m_oldText;
    bool m_oldChanged;
    bool m_oldModified;
};

} // namespace editing
