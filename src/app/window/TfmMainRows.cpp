// The main window's commands that take rows away or reread them: Delete Checked, Delete All and
// Refresh, on the rows the filter shows. Each is one step of Undo, which brings the rows back as they were, edits and all.
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/commands/RemoveRowsCommand.h"
#include "app/commands/ReplaceRecordsCommand.h"
#include "app/window/RowJob.h"
#include "app/window/TfmMain.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <QUndoStack>


namespace app {

namespace {

void PushRemoval(QUndoStack& stack,
                 DocumentTableModel& model,
                 std::vector<std::size_t> rows,
                 const QString& text)
{
    auto command = std::make_unique<RemoveRowsCommand>(model, std::move(rows), text);
    if (!command->isEmpty()) {
        stack.push(command.release());
    }
}

} // namespace

void TfmMain::BitBtn3Click()
{
    PushRemoval(*m_undoStack, *m_model, checkedShownRows(), QStringLiteral("Delete Checked"));
}

void TfmMain::BitBtn4Click()
{
    PushRemoval(*m_undoStack, *m_model, shownRows(), QStringLiteral("Delete All"));
}

void TfmMain::BitBtn5Click()
{
    auto job = std::make_shared<RowJob>(*m_model, shownRows());
    runLongCommand(
        [job](const engine::Progress& progress) {
            job->copyRows();
            engine::RunInOrder(
                job->records.size(), engine::UsableCores(), progress,
                [&job](std::size_t i, unsigned) { job->reread(i); },
                [&job, &progress](std::size_t i, bool) {
                    progress.Report(i + 1, job->records.size(), job->record(i).FullPath);
                });
        },
        [this, job] {
            auto command =
                std::make_unique<ReplaceRecordsCommand>(*m_model, job->takeDone(), QStringLiteral("Refresh"));
            if (!command->isEmpty()) {
                m_undoStack->push(command.release());
            }
            return QString();
        });
}

} // namespace app
