// Import and Fill from Pattern: values of their own for many rows, previewed in a dialog and staged
// as one undoable step; nothing is written before a save.
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentTableModel.h"
#include "app/dialogs/FillPatternDialog.h"
#include "app/dialogs/ImportDialog.h"
#include "app/window/TfmMain.h"
#include "editing/RecordEditCommand.h"
#include "engine/tables/ImportTable.h"

#include <QUndoStack>

#include <filesystem>
#include <memory>

namespace app {

namespace {

// Stages the edits as one step; nothing when no edit changes what a row holds.
void PushEdits(QUndoStack& stack, DocumentTableModel& model, std::vector<editing::RecordEdit> edits, const QString& text)
{
    auto command = std::make_unique<editing::RecordEditCommand>(model, std::move(edits), text);
    if (!command->changesNothing()) {
        stack.push(command.release());
    }
}

} // namespace

void TfmMain::importTable()
{
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
        // Property values and custom properties of a row are one record's edits, and all rows one
        // step of Undo.
        std::vector<editing::RecordEdit> edits;
        for (const engine::PlannedRecord& planned : dialog.plannedRecords()) {
            edits.push_back(editing::RecordEdit{&m_model->documents().RecordAt(shown[planned.Record]),
                                                std::make_shared<const engine::RecordChanges>(planned.Changes)});
        }
        showStatusMessage(QStringLiteral("Imported values into %1 package(s)").arg(edits.size()));
        PushEdits(*m_undoStack, *m_model, std::move(edits), QStringLiteral("Import"));
    });
}

void TfmMain::fillFromPattern()
{
    const std::vector<std::size_t> rows = checkedShownRows();
    std::vector<const engine::DocumentRecord*> records;
    for (const std::size_t row : rows) {
        records.push_back(&m_model->documents().RecordAt(row));
    }
    FillPatternDialog dialog(std::move(records), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<editing::RecordEdit> edits;
    for (const auto& [position, value] : dialog.plannedValues()) {
        engine::RecordChanges changes;
        changes.Values.push_back(engine::StagedText{dialog.property(), value});
        edits.push_back(editing::RecordEdit{&m_model->documents().RecordAt(rows[position]),
                                            std::make_shared<const engine::RecordChanges>(std::move(changes))});
    }
    showStatusMessage(QStringLiteral("Filled %1 value(s)").arg(edits.size()));
    PushEdits(*m_undoStack, *m_model, std::move(edits), QStringLiteral("Fill from Pattern"));
}

} // namespace app
