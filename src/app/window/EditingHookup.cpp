#include "app/window/EditingHookup.h"

#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/PropertyDelegate.h"
#include "editing/QtText.h"
#include "editing/RecordEdits.h"
#include "editing/TfmModify.h"
#include "engine/record/DateConvert.h"

#include <QAction>
#include <QUndoStack>

#include <optional>
#include <string>

namespace app {

namespace {

const QString kRefusedCaption = QStringLiteral("Warning");

QString Season(const engine::RepeatedTimeInstant& instant, bool seasonsDiffer)
{
    if (!seasonsDiffer) {
        return {};
    }
    return instant.DaylightSaving ? QStringLiteral(" (summer time)") : QStringLiteral(" (standard time)");
}

// Which of the two instants of a local time the clocks show twice the user means: the record's
// text of it, std::nullopt for Cancel (or a text that names one instant only, which needs no
// question and is left to the value rule).
std::optional<std::string> ChooseRepeatedTime(QWidget* parent, const std::string& typed)
{
    const auto both = engine::RepeatedLocalTimeInstants(typed);
    if (!both) {
        return std::nullopt;
    }
    const auto& [earlier, later] = *both;
    const bool seasonsDiffer = earlier.DaylightSaving != later.DaylightSaving;
    const QString text =
        QStringLiteral("The clocks show %1 twice here: first at %2%3, then again at %4%5 after they go "
                       "back. Which one is meant?")
            .arg(editing::ToQString(earlier.ShownText.substr(0, 19)), editing::ToQString(earlier.Offset),
                 Season(earlier, seasonsDiffer), editing::ToQString(later.Offset),
                 Season(later, seasonsDiffer));
    const QStringList choices{editing::ToQString(earlier.Offset) + Season(earlier, seasonsDiffer),
                              editing::ToQString(later.Offset) + Season(later, seasonsDiffer)};
    const auto chosen = Dialogs::choose(parent, QStringLiteral("Time Shown Twice"), text, choices);
    if (!chosen) {
        return std::nullopt;
    }
    return (*both)[static_cast<std::size_t>(*chosen)].RecordText;
}

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
    // Queued as the refusal is; the row's own undo step stores the chosen instant.
    QObject::connect(
        &window.model(), &DocumentTableModel::repeatedLocalTimeGiven, &window,
        [&window](const QPersistentModelIndex& cell, const QString& typed) {
            const auto chosen = ChooseRepeatedTime(&window, typed.toStdString());
            if (chosen && cell.isValid()) {
                window.model().setData(cell, editing::ToQString(*chosen), Qt::EditRole);
            }
        },
        Qt::QueuedConnection);
    window.setBatchModifyHandler([&window, edits] {
        editing::TfmModify dialog(*edits, &window);
        dialog.setRepeatedTimeChooser(
            [&dialog](const std::string& typed) { return ChooseRepeatedTime(&dialog, typed); });
        QObject::connect(
            &dialog, &editing::TfmModify::valueRefused, &dialog,
            [&dialog](const QString& message) { Dialogs::warning(&dialog, kRefusedCaption, message); },
            Qt::QueuedConnection);
        dialog.exec();
    });
}

} // namespace app
