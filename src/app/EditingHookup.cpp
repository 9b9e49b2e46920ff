#include "app/EditingHookup.h"

#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "editing/PropertyDelegate.h"
#include "editing/RecordEdits.h"
#include "editing/TfmModify.h"

#include <QAction>
#include <QUndoStack>

namespace app {

void InstallEditing(TfmMain& window)
{
    QUndoStack& stack = *window.undoStack();
    QAction* undo = stack.createUndoAction(&window);
    undo->setObjectName(QStringLiteral("actUndo"));
    undo->setShortcut(QKeySequence::Undo);
    window.addAction(undo);
    QAction* redo = stack.createRedoAction(&window);
    redo->setObjectName(QStringLiteral("actRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    window.addAction(redo);

    auto* edits = new editing::RecordEdits(window.model(), stack, &window);
    window.grid().setCellDelegate(new editing::PropertyDelegate(*edits));
    window.setBatchModifyHandler([&window, edits] {
        window.grid().commitOpenEditor();
        editing::TfmModify dialog(*edits, &window);
        dialog.exec();
    });
}

} // namespace app
