// The window's review of pending changes: Review Changes in the Edit menu and the Options setting
// that shows the review before every save.
#include "app/settings/AppSettings.h"
#include "app/window/CommandKeyGuard.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/dialogs/ReviewChangesDialog.h"
#include "app/window/TfmMain.h"
#include "editing/RecordEditCommand.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QUndoStack>

#include <memory>

namespace app {

void TfmMain::setReviewBeforeSave(bool review)
{
    m_reviewBeforeSave = review;
    if (auto* action = findChild<QAction*>(QStringLiteral("actReviewBeforeSave"))) {
        const QSignalBlocker quiet(action);
        action->setChecked(review);
    }
}

TfmMain::ReviewOutcome TfmMain::reviewChanges(bool checkedOnly)
{
    std::vector<ReviewEntry> entries = CollectReviewEntries(*m_model, rowsToSave(checkedOnly));
    if (entries.empty()) {
        return ReviewOutcome::NothingToReview;
    }
    ReviewChangesDialog dialog(std::move(entries), this);
    const bool save = dialog.exec() == QDialog::Accepted;
    std::vector<editing::RecordEdit> drops = dialog.changes().droppedChanges();
    if (!drops.empty()) {
        auto command = std::make_unique<editing::RecordEditCommand>(*m_model, std::move(drops),
                                                                    QStringLiteral("Review Changes"));
        if (!command->changesNothing()) {
            m_undoStack->push(command.release());
        }
    }
    return save ? ReviewOutcome::Save : ReviewOutcome::Close;
}

void TfmMain::reviewPendingChanges()
{
    switch (reviewChanges(false)) {
    case ReviewOutcome::NothingToReview:
        Dialogs::information(this, QStringLiteral("Review Changes"), QStringLiteral("No changes to review."));
        break;
    case ReviewOutcome::Save:
        writeChanges(false);
        break;
    case ReviewOutcome::Close:
        break;
    }
}

} // namespace app
