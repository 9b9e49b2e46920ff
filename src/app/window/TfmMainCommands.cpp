// The long commands of the main window: adding, refreshing and saving packages on worker threads.
#include "app/dialogs/AppInfo.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/RemovePersonalInfo.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/grid/WorkerPool.h"
#include "app/settings/OfficeSettings.h"
#include "app/window/ProgressRelay.h"
#include "app/window/RowJob.h"
#include "app/window/SaveChecks.h"
#include "app/window/SaveReport.h"
#include "app/window/TfmMain.h"
#include "editing/QtText.h"
#include "editing/RecordEditCommand.h"
#include "editing/RecordEdits.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/PathMessage.h"
#include "engine/base/UsableCores.h"
#include "engine/journal/JournalStore.h"
#include "engine/journal/UndoSave.h"
#include "engine/journal/UndoablePackages.h"
#include "engine/package/LoadDocument.h"
#include "engine/runs/RowsToSave.h"
#include "engine/runs/SaveRun.h"

#include <QAction>
#include <QCheckBox>
#include <QFutureWatcher>
#include <QUndoStack>
#include <QtConcurrent>

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

namespace app {

namespace {

// How a message about a package another program has open says to write it all the same: a save
// asks about such packages first, Undo Last Save follows the Options setting.
constexpr const char* kSaveLockOverrideHint = "save again and choose Save Anyway";
constexpr const char* kUndoLockOverrideHint = "choose Options > Save Packages Open in Other Programs";

// What the folder walks of an add could not list or examine, each with its reason; empty when
// nothing.
QString ScanProblemsReport(const std::vector<engine::ScanProblem>& problems)
{
    if (problems.empty()) {
        return {};
    }
    QStringList lines;
    for (const engine::ScanProblem& problem : problems) {
        lines << editing::ToQString(engine::PathMessage(problem.Path, problem.Reason));
    }
    return QStringLiteral("%1 folder(s) or entries could not be read; packages in them are not listed:\n\n")
               .arg(problems.size()) +
           lines.join(QLatin1Char('\n'));
}

QString JoinedReports(const QString& first, const QString& second)
{
    return first.isEmpty() || second.isEmpty() ? first + second : first + QStringLiteral("\n\n") + second;
}

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
        std::function<void()> next = std::exchange(m_nextStep, {});
        if (!failure.isEmpty()) {
            Dialogs::critical(this, QStringLiteral("Error"), failure);
        }
        if (!warning.isEmpty()) {
            Dialogs::warning(this, QStringLiteral("Warning"), warning);
        }
        if (next && failure.isEmpty() && !m_closePending) {
            next();
            if (m_busy) {
                return; // the next step runs; the command ends with it
            }
        }
        emit commandFinished();
        if (m_closePending) {
            close();
        }
    });
    m_running = QtConcurrent::run(&WorkerPool(), [work = std::move(work), progress]() -> QString {
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
    auto problems = std::make_shared<std::vector<engine::ScanProblem>>();
    runLongCommand(
        [loaded, problems, items = std::move(items),
         extensions = ScanExtensionListSetting()](const engine::Progress& progress) {
            AddItems(*loaded, items, progress, extensions, problems.get());
        },
        [this, loaded, problems, warning] {
            const std::size_t added = loaded->RowCount();
            m_model->adoptRows(loaded->TakeRows());
            if (m_waitForm->CancelRequested()) {
                showStatusMessage(
                    QStringLiteral("Adding cancelled: %1 %2 added, the list is incomplete")
                        .arg(added)
                        .arg(added == 1 ? QStringLiteral("package") : QStringLiteral("packages")));
            }
            return JoinedReports(warning, ScanProblemsReport(*problems));
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

// What the first step of a save found, for the questions and the save that follow.
struct SavePlan
{
    bool checkedOnly = false;
    std::vector<std::size_t> rows;
    SaveChecks checks;
    // For Save All under a filter, which rows it shows (by model row); empty otherwise.
    std::vector<char> shown;
};

void TfmMain::writeChanges(bool checkedOnly)
{
    // Which rows the save writes and which packages it asks about first take a look at every row
    // and a read of every package: on a worker, with the window busy so that no row changes
    // meanwhile (the UI thread only reads them). Only which rows are chosen is taken here.
    const engine::DocumentList& list = m_model->documents();
    std::vector<char> chosen;
    auto plan = std::make_shared<SavePlan>();
    plan->checkedOnly = checkedOnly;
    if (checkedOnly) {
        chosen.assign(list.RowCount(), 0);
        for (const std::size_t row : checkedShownRows()) {
            chosen[row] = 1;
        }
    } else if (m_view->isFiltering()) {
        plan->shown.assign(list.RowCount(), 0);
        for (const std::size_t row : shownRows()) {
            plan->shown[row] = 1;
        }
    }
    const bool lookForLocks = !m_saveLockedPackages;
    runLongCommand(
        [&list, plan, chosen = std::move(chosen), lookForLocks](const engine::Progress& progress) {
            plan->rows = engine::RowsToSave(list, [&chosen](std::size_t row) {
                return chosen.empty() || chosen[row] != 0;
            });
            plan->checks = CheckBeforeSave(list, plan->rows, lookForLocks, progress.CancelRequested);
        },
        [this, plan] {
            if (m_waitForm->CancelRequested()) {
                showStatusMessage(QStringLiteral("Nothing was saved"));
            } else {
                thenRun([this, plan] { writePlannedChanges(plan); });
            }
            return QString();
        });
}

void TfmMain::writePlannedChanges(const std::shared_ptr<SavePlan>& plan)
{
    // Signed packages, and those another program has open, are saved only when the user says so.
    const SaveChecks& checks = plan->checks;
    std::set<std::string> skipped;
    if (!checks.Signed.empty() &&
        !Dialogs::ask(this, QStringLiteral("Signed Packages"), SignedPackagesQuestion(checks.Signed),
                      QStringLiteral("Save Anyway"), QStringLiteral("Skip"))) {
        for (const PackageToAsk& package : checks.Signed) {
            skipped.insert(package.Key);
        }
    }
    std::vector<PackageToAsk> openElsewhere;
    std::copy_if(checks.OpenElsewhere.begin(), checks.OpenElsewhere.end(), std::back_inserter(openElsewhere),
                 [&skipped](const PackageToAsk& package) { return skipped.count(package.Key) == 0; });
    bool ignoreLocks = m_saveLockedPackages;
    // Packages left to the run's own lock check, which refuses them: their rows say why.
    std::set<std::string> leftOpen;
    if (!openElsewhere.empty()) {
        ignoreLocks = Dialogs::ask(this, QStringLiteral("Packages Open in Other Programs"),
                                   OpenElsewhereQuestion(openElsewhere), QStringLiteral("Save Anyway"),
                                   QStringLiteral("Skip"));
        if (!ignoreLocks) {
            for (const PackageToAsk& package : openElsewhere) {
                leftOpen.insert(package.Key);
            }
        }
    }
    // Every skipped package is one with a change, so the save writes something unless all are.
    if (!skipped.empty() && skipped.size() >= checks.Packages) {
        showStatusMessage(QStringLiteral("Nothing was saved"));
        return;
    }

    m_undoStack->clear();
    auto job = std::make_shared<RowJob>(*m_model, std::move(plan->rows));
    auto report = std::make_shared<engine::SaveRunReport>();
    auto texts = std::make_shared<std::pair<QString, QString>>(); // the report, the status line
    engine::SaveRunSettings settings;
    settings.Journal = m_journalSaves;
    settings.KeepModificationTime = m_keepModificationTime;
    settings.IgnoreLocks = ignoreLocks;
    settings.LockOverrideHint = kSaveLockOverrideHint;
    runLongCommand(
        [job, report, texts, settings, skipped = std::move(skipped), leftOpen = std::move(leftOpen),
         shown = std::move(plan->shown)](const engine::Progress& progress) {
            if (!skipped.empty()) {
                job->select(WithoutPackages(job->model.documents(), job->rows, skipped));
            }
            // Save All also saves the changed rows a filter hides; its report says how many there were.
            const auto hidden = static_cast<std::size_t>(
                std::count_if(job->rows.begin(), job->rows.end(), [&](std::size_t row) {
                    return !shown.empty() && shown[row] == 0 && job->model.documents().RecordAt(row).Modified;
                }));
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
            const std::vector<const engine::DocumentRecord*> saved(records.begin(), records.end());
            QString text = report->Results.size() == saved.size() ? SaveReportText(*report, saved, leftOpen)
                                                                  : QString();
            if (hidden > 0) {
                const QString note =
                    QStringLiteral("%1 of the changed rows saved were hidden by the filter.").arg(hidden);
                text = text.isEmpty() ? note : text + QStringLiteral("\n\n") + note;
            }
            *texts = {text, SaveStatusText(*report)};
        },
        [this, job, texts] {
            job->storeInto(*m_model);
            showStatusMessage(texts->second);
            return texts->first;
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
    options.LockOverrideHint = kUndoLockOverrideHint;
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
