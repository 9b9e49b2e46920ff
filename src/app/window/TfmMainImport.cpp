// Import and Fill from Pattern: values of their own for many rows, previewed in a dialog and staged
// as one undoable step; nothing is written before a save.
#include "app/commands/CustomPropertiesCommand.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/FillPatternDialog.h"
#include "app/dialogs/ImportDialog.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/StageValuesCommand.h"
#include "engine/tables/ImportTable.h"

#include <QUndoStack>

#include <filesystem>
#include <memory>
#include <set>

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
        // The table's rows are matched with the rows the filter shows.
        const std::vector<std::size_t> shown = shownRows();
        std::vector<const engine::DocumentRecord*> records;
        for (const std::size_t row : shown) {
            records.push_back(&m_model->documents().RecordAt(row));
        }
        // Relative paths in the table are taken from the table's own folder.
        ImportDialog dialog(std::move(table), std::move(records), path.parent_path(), this);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        std::vector<editing::ValueEdit> targets;
        for (const auto& [position, values] : dialog.plannedValues()) {
            for (const editing::BatchValue& value : values) {
                targets.push_back({&m_model->documents().RecordAt(shown[position]), value.Property, value.Value});
            }
        }
        const auto& custom = dialog.plannedCustomChanges();
        std::set<std::size_t> changed;
        for (const auto& planned : dialog.plannedValues()) {
            changed.insert(planned.first);
        }
        for (const auto& planned : custom) {
            changed.insert(planned.first);
        }
        showStatusMessage(QStringLiteral("Imported values into %1 package(s)").arg(changed.size()));
        if (custom.empty()) {
            PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Import"));
            return;
        }
        // Property values and custom properties are one step of Undo.
        m_undoStack->beginMacro(QStringLiteral("Import"));
        PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Import"));
        for (const auto& [position, changes] : custom) {
            m_undoStack->push(std::make_unique<CustomPropertiesCommand>(
                                  *m_model, std::vector<std::size_t>{shown[position]}, changes)
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
    const std::vector<std::size_t> rows = checkedShownRows();
    std::vector<const engine::DocumentRecord*> records;
    for (const std::size_t row : rows) {
        records.push_back(&m_model->documents().RecordAt(row));
    }
    FillPatternDialog dialog(std::move(records), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<editing::ValueEdit> targets;
    for (const auto& [position, value] : dialog.plannedValues()) {
        targets.push_back({&m_model->documents().RecordAt(rows[position]), dialog.property(), value});
    }
    showStatusMessage(QStringLiteral("Filled %1 value(s)").arg(targets.size()));
    PushValues(*m_undoStack, *m_model, std::move(targets), QStringLiteral("Fill from Pattern"));
}

} // namespace app
