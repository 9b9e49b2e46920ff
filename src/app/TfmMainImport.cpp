// Import and Fill from Pattern: values of their own for many rows, previewed in a dialog and staged
// as one undoable step; nothing is written before a save.
#include "app/CustomPropertiesCommand.h"
#include "app/Dialogs.h"
#include "app/DocumentTableModel.h"
#include "app/FillPatternDialog.h"
#include "app/ImportDialog.h"
#include "app/TfmMain.h"
#include "editing/StageValuesCommand.h"
#include "engine/tables/ImportTable.h"

#include <QUndoStack>

#include <filesystem>
#include <memory>

namespace app {

namespace {

// Stages the values as one step; nothing when no value differs from what a row holds.
void PushValues(QUndoStack& stack,
                DocumentTableModel& model,
                std::vector<editing::ValueEdit> edits,
                const QString& text)
{
    auto command = std::make_unique<editing::StageValuesCommand>(model, std::move(edits),
                                                                 engine::StageRule::RealChangesOnly, text);
    if (!command->changesNothing()) {
        stack.push(command.release());
    }
}

} // namespace

void TfmMain::importTable()
{
    if (m_busy) {
        return;
    }
    const QStringList files = Dialogs::openFileNames(
        this, QStringLiteral("CSV or Excel table|*.csv;*.xlsx|All files|*"), QStringLiteral("import"));
    if (files.isEmpty()) {
        return;
    }
    runCommand([&] {
        // Tables are bounded by the reader's limits, so reading one here keeps the window responsive.
        const std::filesystem::path path = files.front().toStdString();
        engine::ImportTable table = engine::ReadImportFile(path);
        std::vector<const engine::DocumentRecord*> records;
        for (std::size_t row = 0; row < m_model->documents().RowCount(); ++row) {
            records.push_back(&m_model->documents().RecordAt(row));
        }
        // Relative paths in the table are taken from the table's own folder.
        ImportDialog dialog(std::move(table), std::move(records), path.parent_path(), this);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        std::vector<editing::ValueEdit> targets;
        for (const auto& [row, values] : dialog.plannedValues()) {
            for (const editing::BatchValue& value : values) {
                targets.push_back({&m_model->documents().RecordAt(row), value.Property, value.Value});
            }
        }
        const auto& custom = dialog.plannedCustomChanges();
        if (custom.empty()) {
            PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Import"));
            return;
        }
        // Property values and custom properties are one step of Undo.
        m_undoStack->beginMacro(QStringLiteral("Import"));
        PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Import"));
        for (const auto& [row, changes] : custom) {
            m_undoStack->push(
                std::make_unique<CustomPropertiesCommand>(*m_model, std::vector<std::size_t>{row}, changes)
                    .release());
        }
        m_undoStack->endMacro();
    });
}

void TfmMain::fillFromPattern()
{
    if (m_busy) {
        return;
    }
    std::vector<std::size_t> rows;
    std::vector<const engine::DocumentRecord*> records;
    for (std::size_t row = 0; row < m_model->documents().RowCount(); ++row) {
        if (m_model->documents().CheckState(row) == engine::kChecked) {
            rows.push_back(row);
            records.push_back(&m_model->documents().RecordAt(row));
        }
    }
    FillPatternDialog dialog(std::move(records), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<editing::ValueEdit> targets;
    for (const auto& [position, value] : dialog.plannedValues()) {
        targets.push_back({&m_model->documents().RecordAt(rows[position]), dialog.property(), value});
    }
    PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Fill from Pattern"));
}

} // namespace app
