// The long commands of the main window: adding, refreshing and saving packages on worker threads.
#include "app/AppInfo.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/OfficeSettings.h"
#include "app/ParallelFor.h"
#include "app/ProgressRelay.h"
#include "app/TWaitForm.h"
#include "app/TfmMain.h"
#include "engine/LoadDocument.h"
#include "engine/PathMessage.h"
#include "engine/SaveDocument.h"

#include <QCheckBox>
#include <QFutureWatcher>
#include <QUndoStack>
#include <QtConcurrent>

#include <filesystem>
#include <map>
#include <numeric>

namespace app {

namespace {

// Copies of rows that a worker loads or saves, so that the grid can keep painting the originals;
// the results are stored back into the rows when the command ends. With 100,000 rows copying and
// freeing the records takes long enough to freeze the window, so both happen on worker threads:
// the copies are taken by the worker (while a long command runs nothing edits, adds or removes
// rows, and the UI thread only reads them), and the replaced records are freed on a pool thread.
struct RowJob
{
    const DocumentTableModel& model;
    std::vector<std::size_t> rows;
    std::vector<engine::DocumentRecord> records;
    std::vector<engine::DocumentOutcome> outcomes;
    std::vector<char> done;

    RowJob(const DocumentTableModel& source, std::vector<std::size_t> selected)
        : model(source)
        , rows(std::move(selected))
        , outcomes(rows.size())
        , done(rows.size(), 0)
    {}

    // On the worker, before anything else.
    void copyRows()
    {
        records.reserve(rows.size());
        for (std::size_t row : rows) {
            records.push_back(model.RecordAt(row));
        }
    }

    // On the UI thread, inside the model's update block that ends the command.
    void storeInto(DocumentTableModel& target)
    {
        for (std::size_t i = 0; i < rows.size() && i < records.size(); ++i) {
            if (done[i] != 0) {
                std::swap(target.RecordAt(rows[i]), records[i]);
            }
        }
        [[maybe_unused]] const QFuture<void> freed = QtConcurrent::run([old = std::move(records)] {});
    }
};

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

void TfmMain::BitBtn3Click()
{
    if (m_busy) {
        return;
    }
    m_undoStack->clear();
    // From the last row to the first, so that the rows still to be visited keep their numbers.
    for (std::size_t row = m_model->RowCount(); row-- > 0;) {
        if (m_model->CheckState(row) == engine::kChecked) {
            m_model->DeleteRow(row);
        }
    }
}

void TfmMain::BitBtn4Click()
{
    if (m_busy) {
        return;
    }
    m_undoStack->clear();
    m_model->clearRows();
}

void TfmMain::cbCheckAllClick()
{
    m_model->setAllCheckStates(m_checkAll->isChecked() ? engine::kChecked : engine::kUnchecked);
}

void TfmMain::BitBtn5Click()
{
    if (m_busy) {
        return;
    }
    // Refresh discards the edits; an edit still open is stored first, so that it goes with them.
    m_grid->commitOpenEditor();
    m_undoStack->clear();
    std::vector<std::size_t> rows(m_model->RowCount());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    auto job = std::make_shared<RowJob>(*m_model, std::move(rows));
    runLongCommand(
        [job](const engine::Progress& progress) {
            job->copyRows();
            ParallelFor(
                job->records.size(),
                [&job](std::size_t i) {
                    job->outcomes[i] = engine::LoadDocument(job->records[i]);
                    job->done[i] = 1;
                },
                [&job](std::size_t i) { return job->records[i].FullPath; }, progress);
        },
        [this, job] {
            job->storeInto(*m_model);
            return QString();
        });
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
    m_undoStack->clear();
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_model->RowCount(); ++row) {
        if (m_model->RecordAt(row).Modified &&
            (!checkedOnly || m_model->CheckState(row) == engine::kChecked)) {
            rows.push_back(row);
        }
    }
    auto job = std::make_shared<RowJob>(*m_model, std::move(rows));
    runLongCommand(
        [job](const engine::Progress& progress) {
            job->copyRows();
            // Rows of the same package are saved one after the other, never at the same time.
            std::vector<std::vector<std::size_t>> groups;
            std::map<std::string, std::size_t> groupOfPath;
            for (std::size_t i = 0; i < job->records.size(); ++i) {
                auto [it, added] = groupOfPath.try_emplace(job->records[i].FullPath, groups.size());
                if (added) {
                    groups.emplace_back();
                }
                groups[it->second].push_back(i);
            }
            ParallelFor(
                groups.size(),
                [&](std::size_t g) {
                    for (std::size_t i : groups[g]) {
                        if (progress.Cancelled() && i != groups[g].front()) {
                            return;
                        }
                        job->outcomes[i] = engine::SaveDocument(job->records[i]);
                        if (job->outcomes[i].ok) {
                            RefreshFileSize(job->records[i]);
                        }
                        job->done[i] = 1;
                    }
                },
                [&](std::size_t g) { return job->records[groups[g].front()].FullPath; }, progress);
        },
        [this, job] {
            QStringList failures;
            QStringList signedPackages;
            for (std::size_t i = 0; i < job->rows.size(); ++i) {
                if (job->done[i] != 0 && !job->outcomes[i].ok) {
                    failures << QString::fromStdString(
                        engine::PathMessage(job->records[i].FullPath, job->outcomes[i].message));
                } else if (job->done[i] != 0 && !job->records[i].LastWarning.empty()) {
                    signedPackages << QString::fromStdString(job->records[i].FullPath);
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

} // namespace app
