#include "app/window/EditingHookup.h"

#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/PropertyDelegate.h"
#include "editing/RecordEdits.h"
#include "editing/TfmModify.h"

#include <QAction>
#include <QUndoStack>

namespace app {

namespace {

const QString kRefusedCaption = QStringLiteral("Warning");

} // namespace

void InstallEditing(TfmMain& window)
{
    // The window owns the stack and its Undo and Redo actions (Edit menu, Ctrl+Z, Ctrl+Shift+Z).
    QUndoStack& stack = *window.undoStack();

    window.model().setUndoStack(&stack);
    auto* edits = new editing::RecordEdits(window.model(), stack, &window);
    // Batch Modify changes the rows the filter shows.
    edits->setRowScope([&window](std::size_t row) { return window.view().isShown(row); });
    QObject::connect(edits, &editing::RecordEdits::batchApplied, &window,
                     [&window](std::size_t values, std::size_t rows) {
                         window.showStatusMessage(
                             QStringLiteral("Applied %1 value(s) to %2 package(s)").arg(values).arg(rows));
                     });
    auto* delegate = new editing::PropertyDelegate(*edits);
    window.grid().setCellDelegate(delegate);
    // Queued: the refusal comes from inside the view's commit, where no box may open.
    QObject::connect(
        &window.model(), &DocumentTableModel::valueRefused, &window,
        [&window](const QString& message) { Dialogs::warning(&window, kRefusedCaption, message); },
        Qt::QueuedConnection);
    window.setBatchModifyHandler([&window, edits] {
        editing::TfmModify dialog(*edits, &window);
        QObject::connect(
            &dialog, &editing::TfmModify::valueRefused, &dialog,
            [&dialog](const QString& message) { Dialogs::warning(&dialog, kRefusedCaption, message); },
            Qt::QueuedConnection);
        dialog.exec();
    });
}

} // namespace app
