// Other package kinds and custom properties: the File Types and Show Custom Properties options and
// the Custom Properties dialog for the selected rows.
#include "app/dialogs/CustomPropertiesDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/dialogs/FileTypesDialog.h"
#include "app/settings/OfficeSettings.h"
#include "app/window/TfmMain.h"
#include "editing/RecordEditCommand.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QUndoStack>

namespace app {

void TfmMain::editCustomProperties()
{
    std::vector<std::size_t> checked = checkedShownRows();
    std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) {
        rows = checked; // nothing selected: the checked rows are the ones meant
    }
    if (rows.empty()) {
        Dialogs::warning(
            this, QStringLiteral("Warning"),
            QStringLiteral("Select or check the packages whose custom properties you want to see."));
        return;
    }
    CustomPropertiesDialog dialog(m_model->documents(), std::move(rows), std::move(checked), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<engine::CustomChange> changes = dialog.changes();
    if (changes.empty()) {
        return;
    }
    runCommand([&] {
        // The command works out every row first; a row that cannot take a change stops it whole.
        std::vector<engine::DocumentRecord*> records;
        for (const std::size_t row : dialog.rows()) {
            records.push_back(&m_model->documents().RecordAt(row));
        }
        engine::RecordChanges custom;
        custom.Custom = std::move(changes);
        auto command = std::make_unique<editing::RecordEditCommand>(
            *m_model, editing::SameChangesOn(records, std::move(custom)), QStringLiteral("Custom Properties"));
        if (!command->changesNothing()) {
            m_undoStack->push(command.release());
        }
    });
}

void TfmMain::chooseFileTypes()
{
    FileTypesDialog dialog(FileTypesSetting(), this);
    if (dialog.exec() == QDialog::Accepted) {
        SetFileTypesSetting(dialog.chosen());
    }
}

void TfmMain::showCustomProperties(bool shown)
{
    SetShowCustomPropertiesSetting(shown);
    m_model->setCustomColumnsShown(shown);
}

} // namespace app
