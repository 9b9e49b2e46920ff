// The long commands of the main window: adding, refreshing and saving packages on worker threads.
#include "app/AppInfo.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/OfficeSettings.h"
#include "app/ProgressRelay.h"
#include "app/RemovePersonalInfo.h"
#include "app/RowJob.h"
#include "app/TWaitForm.h"
#include "app/TfmMain.h"
#include "editing/BatchApplyCommand.h"
#include "engine/JournalStore.h"
#include "engine/LoadDocument.h"
#include "engine/ParallelFor.h"
#include "engine/PathMessage.h"
#include "engine/SaveDocument.h"
#include "engine/SaveJournal.h"
#include "engine/UndoSave.h"
#include "engine/UsableCores.h"

#include <QAction>
#include <QCheckBox>
#include <QFutureWatcher>
#include <QUndoStack>
#include <QtConcurrent>

#include <filesystem>
#include <map>
#include <numeric>
#include <set>

namespace app {

namespace {

// A save rewrites the package, so its size is measured again; the old size would be wrong.
void RefreshFileSize(engine::DocumentRecord& record)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(record.FullPath, error);
    if (!error) {
        record.FileSize = std::to_string(size);
    }
}

} // namespace

void TfmMain::runLongCommand(std::function<void(const engine::Progress&)> work,
                             std::function<QString()> finish,
                             bool cancellable)
{
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
            failure = QString::fromStdString(e.what());
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
            return QString::fromStdString(e.what());
        } catch (...) {
            // Nothing may cross back into the event loop as an exception.
            return QStringLiteral("The command failed for an unknown reason.");
        }
    });
    watcher->setFuture(m_running);
}

void TfmMain::addItems(std::vector<AddItem> items, const QString& warning)
{
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
                       m_model->appendRows(loaded->TakeRows());
                       return warning;
                   });
}

void TfmMain::BitBtn1Click()
{
    if (m_busy) {
        return;
    }
    const QStringList files =
        Dialogs::openFileNames(this, QString::fromUtf8(kPackageDialogFilter), QStringLiteral("addFile"));
    std::vector<AddItem> items;
    for (const QString& file : files) {
        items.push_back({file.toStdString(), AddItem::Kind::File});
    }
    addItems(std::move(items));
}

void TfmMain::BitBtn2Click()
{
    if (m_busy) {
        return;
    }
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
    m_model->setAllCheckStates(m_checkAll->isChecked() ? engine::kChecked : engine::kUnchecked);
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
    if (m_busy) {
        return;
    }
    // What the user typed into a still open editor belongs to this save.
    m_grid->commitOpenEditor();
    if (m_reviewBeforeSave && reviewChanges(checkedOnly) == ReviewOutcome::Close) {
        return;
    }
    writeChanges(checkedOnly);
}

std::vector<std::size_t> TfmMain::rowsToSave(bool checkedOnly) const
{
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_model->RowCount(); ++row) {
        if (m_model->RecordAt(row).Modified &&
            (!checkedOnly || m_model->CheckState(row) == engine::kChecked)) {
            rows.push_back(row);
        }
    }
    return rows;
}

void TfmMain::writeChanges(bool checkedOnly)
{
    m_undoStack->clear();
    auto job = std::make_shared<RowJob>(*m_model, rowsToSave(checkedOnly));
    runLongCommand(
        [job, journaled = m_journalSaves,
         keepTime = m_keepModificationTime](const engine::Progress& progress) {
            job->copyRows();
            std::unique_ptr<engine::SaveJournal> journal;
            if (journaled && !job->records.empty()) {
                std::vector<const engine::DocumentRecord*> records;
                for (const auto& record : job->records) {
                    records.push_back(record.get());
                }
                try {
                    journal = engine::StartSaveRun(records, engine::DefaultJournalRoot());
                } catch (const engine::EJournalError& e) {
                    // Never a save without its undo record: nothing is touched.
                    for (std::size_t i = 0; i < job->records.size(); ++i) {
                        job->outcomes[i] = engine::DocumentOutcome{false, e.what()};
                        job->done[i] = 1;
                    }
                    return;
                }
            }
            const engine::SaveOptions options{journal.get(), keepTime};
            // Rows of the same package are saved one after the other, never at the same time.
            std::vector<std::vector<std::size_t>> groups;
            std::map<std::string, std::size_t> groupOfPath;
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                auto [it, added] = groupOfPath.try_emplace(job->record(i).FullPath, groups.size());
                if (added) {
                    groups.emplace_back();
                }
                groups[it->second].push_back(i);
            }
            engine::ParallelFor(
                groups.size(),
                [&](std::size_t g) {
                    for (std::size_t i : groups[g]) {
                        if (progress.Cancelled() && i != groups[g].front()) {
                            return;
                        }
                        job->outcomes[i] = engine::SaveDocument(job->record(i), options);
                        if (job->outcomes[i].ok) {
                            RefreshFileSize(job->record(i));
                        }
                        job->done[i] = 1;
                    }
                },
                [&](std::size_t g) { return job->record(groups[g].front()).FullPath; }, progress,
                engine::SaveWorkers());
            if (journal) {
                journal->Finish();
            }
        },
        [this, job] {
            QStringList failures;
            QStringList signedPackages;
            for (std::size_t i = 0; i < job->rows.size(); ++i) {
                if (job->done[i] != 0 && !job->outcomes[i].ok) {
                    failures << QString::fromStdString(
                        engine::PathMessage(job->record(i).FullPath, job->outcomes[i].message));
                } else if (job->done[i] != 0 && !job->record(i).LastWarning.empty()) {
                    signedPackages << QString::fromStdString(job->record(i).FullPath);
                }
            }
            job->storeInto(*m_model);
            QString summary;
            if (!failures.isEmpty()) {
                summary = QStringLiteral("These packages could not be saved and keep their changes:\n\n") +
                          failures.join(QLatin1Char('\n'));
            }
            if (!signedPackages.isEmpty()) {
                summary += QStringLiteral("%1These packages were digitally signed; their signatures may no "
                                          "longer verify:\n\n")
                               .arg(summary.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                           signedPackages.join(QLatin1Char('\n'));
            }
            return summary;
        });
}

void TfmMain::undoLastSave()
{
    if (m_busy) {
        return;
    }
    auto runs =
        std::make_shared<std::vector<engine::JournalRun>>(engine::ReadJournal(engine::DefaultJournalRoot()));
    while (!runs->empty() && runs->back().ProducedCount() == 0) {
        runs->pop_back(); // runs that replaced nothing have nothing to undo
    }
    if (runs->empty()) {
        Dialogs::warning(this, QStringLiteral("Warning"), QStringLiteral("No journaled save to undo."));
        return;
    }
    const engine::JournalRun& last = runs->back();
    const std::size_t count = last.ProducedCount();
    const QString question =
        QStringLiteral("Restore the %1 package(s) of the last save (%2) as they were before it?")
            .arg(count)
            .arg(QString::fromStdString(last.Time));
    if (Dialogs::question(this, QStringLiteral("Warning"), question) != QMessageBox::Yes) {
        return;
    }
    auto packages = std::make_shared<std::vector<std::string>>();
    for (const engine::JournalEntry& entry : last.Entries) {
        if (entry.Produced) {
            packages->push_back(entry.Package);
        }
    }
    const std::set<std::string> restored(packages->begin(), packages->end());
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_model->RowCount(); ++row) {
        if (restored.count(engine::JournalKey(m_model->RecordAt(row).FullPath)) > 0) {
            rows.push_back(row);
        }
    }
    auto job = std::make_shared<RowJob>(*m_model, std::move(rows));
    auto outcomes = std::make_shared<std::vector<engine::DocumentOutcome>>(packages->size());
    const engine::UndoOptions options{last.Id, m_keepModificationTime};
    runLongCommand(
        [job, runs, packages, outcomes, options](const engine::Progress& progress) {
            job->copyRows();
            for (std::size_t i = 0; i < packages->size(); ++i) {
                progress.Report(i, packages->size(), (*packages)[i]);
                (*outcomes)[i] = engine::UndoSave(*runs, (*packages)[i], options);
            }
            // The rows show the packages as they are now.
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                job->outcomes[i] = engine::LoadDocument(job->record(i));
                job->done[i] = 1;
            }
        },
        [this, job, packages, outcomes] {
            job->storeInto(*m_model);
            m_undoStack->clear(); // the steps belong to the rows as they were before the reread
            QStringList failures;
            for (std::size_t i = 0; i < packages->size(); ++i) {
                if (!(*outcomes)[i].ok) {
                    failures << QString::fromStdString(
                        engine::PathMessage((*packages)[i], (*outcomes)[i].message));
                }
            }
            return failures.isEmpty() ? QString()
                                      : QStringLiteral("These packages were not restored:\n\n") +
                                            failures.join(QLatin1Char('\n'));
        });
}

void TfmMain::removePersonalInfo()
{
    if (m_busy) {
        return;
    }
    m_grid->commitOpenEditor();
    RemovePersonalInfoDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::vector<engine::DocumentRecord*> targets;
    for (std::size_t row = 0; row < m_model->RowCount(); ++row) {
        if (m_model->CheckState(row) == engine::kChecked) {
            targets.push_back(&m_model->RecordAt(row));
        }
    }
    editing::BatchValues cleared;
    for (const std::size_t p : dialog.chosenProperties()) {
        cleared.push_back(editing::BatchValue{p, {}});
    }
    if (!targets.empty() && !cleared.empty()) {
        auto command =
            std::make_unique<editing::BatchApplyCommand>(*m_model, std::move(targets), std::move(cleared));
        command->setText(QStringLiteral("Remove Personal Information"));
        m_undoStack->push(command.release());
    }
}

} // namespace app
