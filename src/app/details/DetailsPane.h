#pragma once

#include "app/details/PackageDetails.h"

#include <QDockWidget>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QTimer>

#include <cstdint>
#include <string>

class QAbstractItemView;
class QTreeWidget;
class QTreeWidgetItem;

namespace engine {
struct DocumentRecord;
}

namespace app {

class DocumentSortFilterModel;
class DocumentTableModel;
class ThumbnailView;

// The Details pane: everything known about the grid's current row. What the row holds (statistics,
// custom properties with their pending changes) shows at once; what only the file can tell (its
// thumbnail, times, members, signature) is read on a worker thread, at most one package at a time
// and only the latest row asked for, so moving quickly through the grid reads few packages.
class DetailsPane : public QDockWidget
{
    Q_OBJECT

public:
    DetailsPane(const DocumentTableModel& rows,
                const DocumentSortFilterModel& view,
                const QAbstractItemView& grid,
                QWidget* parent);
    ~DetailsPane() override;

    // While held (a long command is reading or saving packages) no package is opened; the latest
    // row asked for is read once the pane is released.
    void setHeld(bool held);

    // How many package reads have started since the pane was made.
    [[nodiscard]] int readsStarted() const { return m_readsStarted; }

signals:
    // The user closed the pane with its own close button.
    void closedByUser();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the current row; rereads its package when it is another one or when reread is set.
    void showCurrent(bool reread);
    void rowsChanged(int first, int last);
    [[nodiscard]] const engine::DocumentRecord* currentRecord() const;
    void requestRead(const std::string& path, bool samePackage);
    void startRead();
    void readFinished();
    void showRowFacts(const engine::DocumentRecord* record);
    void showFileFacts(const PackageDetails& details);
    void showFileFactsPending(const QString& note);

    const DocumentTableModel& m_rows;
    const DocumentSortFilterModel& m_view;
    const QAbstractItemView& m_grid;
    ThumbnailView* m_thumbnail = nullptr;
    QTreeWidget* m_facts = nullptr;
    QTreeWidgetItem* m_fileGroup = nullptr;
    QTreeWidgetItem* m_statisticsGroup = nullptr;
    QTreeWidgetItem* m_customGroup = nullptr;

    // The package shown (empty: none), the request number of its latest read and whether that read
    // is still to start.
    std::string m_path;
    std::uint64_t m_generation = 0;
    bool m_readWanted = false;
    bool m_reading = false;
    std::uint64_t m_readGeneration = 0;
    bool m_held = false;
    int m_readsStarted = 0;
    // Spaces reads out while the current row moves.
    QTimer m_throttle;
    QFutureWatcher<PackageDetails> m_watcher;
    // Last, so that it is destroyed first: its destructor waits for a read still running.
    QThreadPool m_pool;
};

} // namespace app
