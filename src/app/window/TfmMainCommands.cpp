// The long commands of the main window: adding, refreshing and saving packages on worker threads.
#include "app/dialogs/AppInfo.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/RemovePersonalInfo.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/settings/OfficeSettings.h"
#include "app/window/ProgressRelay.h"
#include "app/window/RowJob.h"
#include "app/window/SaveReport.h"
#include "app/window/TfmMain.h"
#include "editing/QtText.h"
#include "editing/RecordEditCommand.h"
#include "editing/RecordEdits.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/UndoSave.h"
#include "engine/journal/UndoablePackages.h"
#include "engine/package/LoadDocument.h"
#include "engine/runs/RowsToSave.h"
#include "engine/base/PathMessage.h"
#include "engine/base/OrderedPool.h"
#include "engine/runs/SaveRun.h"
#include "engine/base/UsableCores.h"

#include <QAction>
#include <QCheckBox>
#include <QFutureWatcher>
#include <QUndoStack>
#include <QtConcurrent>

#include <algorithm>
#include <set>

namespace app {

namespace {

// How a message about a package another program has open says to write it all the same.
constexpr const char* kLockOverrideHint = "choose Options > Save Packages Open in Other Programs";

} // namespace

void TfmMain::runLongCommand(std::function<void(const engine::Progress&)> work,
                             std::function<QString()> finish,
                             bool cancellable)
{
    // An editor still open is stored before the rows are locked for the run.
    m_grid->commitOpenEditor();
    setBusy(true);
    m_waitScope = std::make_unique<WaitBoxScope>(*m_waitForm, cancellable);

    engine::Progress progress;
    progress.CancelRequested = &m_waitForm->CancelRequested();
    auto relay = std::make_shared<ProgressRelay>(m_waitForm);
    progress.OnProgress = [relay, observer = m_progressObserver](std::size_t done, std::size_t total,
                                                                 const std::string& path) {
        if (observer) {
            observer(done, total);
        }
        relay->Report(done, total, path);
    };

    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, finish = std::move(finish)] {
        QString failure = watcher->result();
        QString warning;
        watcher->deleteLater();
        try {
            DocumentTableModel::UpdateBlock block(*m_model);
            warning = finish();
        } catch (const std::exception& e) {
            failure = editing::ToQString(e.what());
        } catch (...) {
            failure = QStringLiteral("The command failed for an unknown reason.");
        }
        m_waitScope.reset();
        setBusy(false);
        if (!failure.isEmpty()) {
            Dialogs::critical(this, QStringLiteral("Error"), failure);
        }
        if (!warning.isEmpty()) {
            Dialogs::warning(this, QStringLiteral("Warning"), warning);
        }
        emit commandFinished();
        if (m_closePending) {
            close();
        }
    });
    m_running = QtConcurrent::run([work = std::move(work), progress]() -> QString {
        try {
            work(progress);
            return {};
        } catch (const std::exception& e) {
            return editing::ToQString(e.what());
        } catch (...) {
            // Nothing may cross back into the event loop as an exception.
            return QStringLiteral("The command failed for an unknown reason.");
        }
    });
    watcher->setFuture(m_running);
}

void TfmMain::addItems(std::vector<AddItem> items, const QString& warning)
{
    // Reached from drops and the command line too, not only through the command table.
    if (m_busy) {
        return;
    }
    if (items.empty()) {
        if (!warning.isEmpty()) {
            Dialogs::warning(this, QStringLiteral("Warning"), warning);
        }
        return;
    }
    auto loaded = std::make_shared<engine::VectorDocumentList>();
    runLongCommand([loaded, items = std::move(items), extensions = ScanExtensionListSetting()](
                       const engine::Progress& progress) { AddItems(*loaded, items, progress, extensions); },
                   [this, loaded, warning] {
                       m_model->adoptRows(loaded->TakeRows());
                       return warning;
                   });
}

void TfmMain::BitBtn1Click()
{
    const QStringList files =
        Dialogs::openFileNames(this, editing::ToQString(kPackageDialogFilter), QStringLiteral("addFile"));
    std::vector<AddItem> items;
    for (const QString& file : files) {
        items.push_back({file.toStdString(), AddItem::Kind::File});
    }
    addItems(std::move(items));
}

void TfmMain::BitBtn2Click()
{
    const QString folder = Dialogs::existingDirectory(this, QStringLiteral("addFolder"));
    if (folder.isEmpty()) {
        return;
    }
    repaint();
    m_waitForm->SetWaitText(QStringLiteral("Loading info.."));
    addItems({{folder.toStdString(), AddItem::Kind::Folder}});
}

void TfmMain::cbCheckAllClick()
{
    m_model->setCheckStates(shownRows(), m_checkAll->isChecked() ? engine::kChecked : engine::kUnchecked);
}

void TfmMain::btnSaveCheckedClick()
{
    saveRows(true);
}

void TfmMain::btnSaveAllClick()
{
    saveRows(false);
}

void TfmMain::saveRows(bool checkedOnly)
{
    if (m_reviewBeforeSave && reviewChanges(checkedOnly) == ReviewOutcome::Close) {
        return;
    }
    writeChanges(checkedOnly);
}

std::vector<std::size_t> TfmMain::rowsToSave(bool checkedOnly) const
{
    // Save All saves every changed row, also those the filter hides; Save Checked the checked rows
    // it shows.
    const engine::DocumentList& rows = m_model->documents();
    return engine::RowsToSave(rows, [&](std::size_t row) {
        return !checkedOnly || (rows.CheckState(row) == engine::kChecked && m_view->isShown(row));
    });
}

void TfmMain::writeChanges(bool checkedOnly)
{
    m_undoStack->clear();
    auto job = std::make_shared<RowJob>(*m_model, rowsToSave(checkedOnly));
    // Save All also saves the changed rows a filter hides; its report says how many there were.
    std::size_t hidden = 0;
    if (!checkedOnly && m_view->isFiltering()) {
        hidden = static_cast<std::size_t>(std::count_if(job->rows.begin(), job->rows.end(), [this](std::size_t row) {
            return m_model->documents().RecordAt(row).Modified && !m_view->isShown(row);
        }));
    }
    auto report = std::make_shared<engine::SaveRunReport>();
    engine::SaveRunSettings settings;
    settings.Journal = m_journalSaves;
    settings.KeepModificationTime = m_keepModificationTime;
    settings.IgnoreLocks = m_saveLockedPackages;
    settings.LockOverrideHint = kLockOverrideHint;
    runLongCommand(
        [job, report, settings](const engine::Progress& progress) {
            job->copyRows();
            std::vector<engine::DocumentRecord*> records;
            records.reserve(job->records.size());
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                records.push_back(&job->record(i));
            }
            *report = engine::SaveRun(records, settings, progress);
            for (std::size_t i = 0; i < records.size(); ++i) {
                const engine::SaveState state = report->Results[i].State;
                job->done[i] =
                    state == engine::SaveState::Saved || state == engine::SaveState::Failed ? 1 : 0;
            }
        },
        [this, job, report, hidden] {
            std::vector<const engine::DocumentRecord*> records;
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                records.push_back(&job->record(i));
            }
            QString text =
                report->Results.size() == records.size() ? SaveReportText(*report, records) : QString();
            if (hidden > 0) {
                const QString note =
                    QStringLiteral("%1 of the changed rows saved were hidden by the filter.").arg(hidden);
                text = text.isEmpty() ? note : text + QStringLiteral("\n\n") + note;
            }
            job->storeInto(*m_model);
            showStatusMessage(SaveStatusText(*report));
            return text;
        });
}

void TfmMain::undoLastSave()
{
    auto runs =
        std::make_shared<std::vector<engine::JournalRun>>(engine::ReadJournal(engine::DefaultJournalRoot()));
    // The latest run with a save not undone yet; a repeated Undo Last Save steps back run by run.
    engine::UndoableRun undoable = engine::LatestUndoableRun(*runs);
    const engine::JournalRun* last = undoable.Run;
    auto packages = std::make_shared<std::vector<std::string>>(std::move(undoable.Packages));
    if (last == nullptr) {
        Dialogs::warning(this, QStringLiteral("Warning"), QStringLiteral("No journaled save to undo."));
        return;
    }
    const QString question =
        QStringLiteral("Restore the %1 package(s) of the last save (%2) as they were before it?")
            .arg(packages->size())
            .arg(editing::ToQString(last->Time));
    if (Dialogs::question(this, QStringLiteral("Warning"), question) != QMessageBox::Yes) {
        return;
    }
    const std::set<std::string> restoring(packages->begin(), packages->end());
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_model->documents().RowCount(); ++row) {
        if (restoring.count(engine::CanonicalPath(m_model->documents().RecordAt(row).FullPath)) > 0) {
            rows.push_back(row);
        }
    }
    auto job = std::make_shared<RowJob>(*m_model, std::move(rows));
    auto outcomes = std::make_shared<std::vector<engine::UndoOutcome>>(packages->size());
    auto ran = std::make_shared<std::vector<bool>>(packages->size(), false);
    engine::UndoOptions options;
    options.RunId = last->Id;
    options.KeepModificationTime = m_keepModificationTime;
    options.IgnoreLocks = m_saveLockedPackages;
    options.LockOverrideHint = kLockOverrideHint;
    runLongCommand(
        [job, runs, packages, outcomes, ran, options](const engine::Progress& progress) {
            job->copyRows();
            engine::UndoPackages(*runs, *packages, options, progress,
                                 [&](std::size_t i, const engine::UndoOutcome& outcome, bool didRun) {
                                     (*outcomes)[i] = outcome;
                                     (*ran)[i] = didRun;
                                 });
            // The rows of the restored packages show them as they are now, read on every core.
            std::set<std::string> restored;
            for (std::size_t i = 0; i < packages->size(); ++i) {
                if ((*ran)[i] && (*outcomes)[i].ok) {
                    restored.insert((*packages)[i]);
                }
            }
            std::vector<std::size_t> reread;
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                if (restored.count(engine::CanonicalPath(job->record(i).FullPath)) > 0) {
                    reread.push_back(i);
                }
            }
            engine::RunInOrder(
                reread.size(), engine::UsableCores(), {},
                [&](std::size_t k, unsigned) { job->reread(reread[k]); }, [](std::size_t, bool) {});
        },
        [this, job, packages, outcomes, ran] {
            // The reread is a step of Undo: the rows' pending edits come back with Ctrl+Z.
            auto command = std::make_unique<ReplaceRecordsCommand>(*m_model, job->takeDone(),
                                                                   QStringLiteral("Undo Last Save"));
            if (!command->isEmpty()) {
                m_undoStack->push(command.release());
            }
            const auto restored = static_cast<std::size_t>(
                std::count_if(outcomes->begin(), outcomes->end(), [](const auto& o) { return o.ok; }));
            showStatusMessage(
                QStringLiteral("Restored %1 of %2 package(s)").arg(restored).arg(packages->size()));
            return UndoReportText(*packages, *outcomes, *ran);
        });
}

void TfmMain::removePersonalInfo()
{
    RemovePersonalInfoDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<engine::DocumentRecord*> targets;
    for (const std::size_t row : checkedShownRows()) {
        targets.push_back(&m_model->documents().RecordAt(row));
    }
    editing::BatchValues cleared;
    for (const std::size_t p : dialog.chosenProperties()) {
        cleared.push_back(editing::BatchValue{p, {}});
    }
    if (!targets.empty() && !cleared.empty()) {
        m_undoStack->push(new editing::RecordEditCommand(*m_model,
                                                         editing::SameChangesOn(targets, editing::StageAll(cleared)),
                                                         QStringLiteral("Remove Personal Information")));
    }
}

} // namespace app
