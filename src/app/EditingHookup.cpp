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
    // The window owns the stack and its Undo and Redo actions (Edit menu, Ctrl+Z, Ctrl+Shift+Z).
    QUndoStack& stack = *window.undoStack();

    window.model().setUndoStack(&stack);
    auto* edits = new editing::RecordEdits(window.model(), stack, &window);
    window.grid().setCellDelegate(new editing::PropertyDelegate(*edits));
    window.setBatchModifyHandler([&window, edits] {
        window.grid().commitOpenEditor();
        editing::TfmModify dialog(*edits, &window);
        dialog.exec();
    });
}

} // namespace app
