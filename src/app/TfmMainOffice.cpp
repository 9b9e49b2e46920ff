// Other package kinds and custom properties: the File Types and Show Custom Properties options and
// the Custom Properties dialog for the selected rows.
#include "app/CustomPropertiesCommand.h"
#include "app/CustomPropertiesDialog.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/FileTypesDialog.h"
#include "app/OfficeSettings.h"
#include "app/TfmMain.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QUndoStack>

#include <set>

namespace app {

void TfmMain::buildOfficeActions()
{
    // The menus that hold these are laid out with the rest of the menu bar; the actions belong to
    // the window so that they work wherever the focus is.
    m_customPropertiesAction = new QAction(QStringLiteral("Custom Properties\u2026"), this);
    m_customPropertiesAction->setObjectName(QStringLiteral("actCustomProperties"));
    connect(m_customPropertiesAction, &QAction::triggered, this, &TfmMain::actCustomPropertiesClick);
    addAction(m_customPropertiesAction);

    auto* fileTypes = new QAction(QStringLiteral("File Types\u2026"), this);
    fileTypes->setObjectName(QStringLiteral("actFileTypes"));
    connect(fileTypes, &QAction::triggered, this, &TfmMain::actFileTypesClick);
    addAction(fileTypes);

    auto* showCustom = new QAction(QStringLiteral("Show Custom Properties"), this);
    showCustom->setObjectName(QStringLiteral("actShowCustomProperties"));
    showCustom->setCheckable(true);
    showCustom->setChecked(ShowCustomPropertiesSetting());
    m_model->setCustomColumnsShown(showCustom->isChecked());
    connect(showCustom, &QAction::toggled, this, &TfmMain::actShowCustomPropertiesToggled);
    addAction(showCustom);
}

std::vector<std::size_t> TfmMain::selectedRows() const
{
    std::set<std::size_t> rows;
    for (const QModelIndex& index : m_grid->selectionModel()->selectedIndexes()) {
        rows.insert(static_cast<std::size_t>(index.row()));
    }
    if (rows.empty() && m_grid->currentIndex().isValid()) {
        rows.insert(static_cast<std::size_t>(m_grid->currentIndex().row()));
    }
    return {rows.begin(), rows.end()};
}

void TfmMain::actCustomPropertiesClick()
{
    if (m_busy) {
        return;
    }
    m_grid->commitOpenEditor();
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) {
        Dialogs::warning(this, QStringLiteral("Warning"),
                         QStringLiteral("Select the packages whose custom properties you want to see."));
        return;
    }
    std::vector<const engine::DocumentRecord*> records;
    for (std::size_t row : rows) {
        records.push_back(&m_model->RecordAt(row));
    }
    CustomPropertiesDialog dialog(records, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<engine::CustomChange> changes = dialog.changes();
    if (changes.empty()) {
        return;
    }
    runCommand([&] {
        // The command works out every row first; a row that cannot take a change stops it whole.
        auto command = std::make_unique<CustomPropertiesCommand>(*m_model, rows, std::move(changes));
        m_undoStack->push(command.release());
    });
}

void TfmMain::actFileTypesClick()
{
    FileTypesDialog dialog(FileTypesSetting(), this);
    if (dialog.exec() == QDialog::Accepted) {
        SetFileTypesSetting(dialog.chosen());
    }
}

void TfmMain::actShowCustomPropertiesToggled(bool shown)
{
    SetShowCustomPropertiesSetting(shown);
    m_model->setCustomColumnsShown(shown);
}

} // namespace app
