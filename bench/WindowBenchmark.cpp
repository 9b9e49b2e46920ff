// The real main window under the offscreen platform, driven through every long command on a large
// folder: Add Folder, scrolling, Check All, an edit of every row, Save All, Refresh, the Details pane
// following the current row through 2,000 rows, sorting by each kind of column, typing and clearing
// a filter, every export and Delete All. A 5 ms timer on the UI thread measures the longest stretch
// during which the event loop did not run (the longest block a user would feel); memory per row is
// the growth of the resident set over the rows added.
// Usage: velmora_window_bench FOLDER OUTPUT_FOLDER
#include "app/details/DetailsPane.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Measures the longest gap between two runs of a short timer on the UI thread.
class BlockMonitor
{
public:
    BlockMonitor()
    {
        m_timer.setInterval(kIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_longest = std::max(m_longest, now - m_last - kIntervalMs);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }

    void Reset()
    {
        m_last = m_clock.elapsed();
        m_longest = 0;
    }

    // The longest block since Reset, counting one still going on.
    [[nodiscard]] qint64 Longest() const
    {
        return std::max(m_longest, m_clock.elapsed() - m_last - kIntervalMs);
    }

private:
    static constexpr int kIntervalMs = 5;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void Spin(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void WaitUntilIdle(app::TfmMain& window)
{
    while (window.isBusy()) {
        Spin(20);
    }
    Spin(50);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FOLDER OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    app::Dialogs::setTestMode(true);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    app::TfmMain window;
    window.resize(1400, 900);
    window.show();
    Spin(200);
    BlockMonitor monitor;
    std::printf("%-28s %10s %14s\n", "step", "seconds", "longest_block_ms");
    const auto step = [&](const char* name, const std::function<void()>& action) {
        monitor.Reset();
        QElapsedTimer clock;
        clock.start();
        action();
        WaitUntilIdle(window);
        std::printf("%-28s %10.2f %14lld\n", name, static_cast<double>(clock.elapsed()) / 1000,
                    static_cast<long long>(monitor.Longest()));
        std::fflush(stdout);
    };

    // Commands run through their actions, as the user's clicks and keys run them.
    const auto trigger = [&window](const char* name) {
        window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    };
    const long before = ResidentKiB();
    step("Add Folder", [&] {
        app::Dialogs::setNextFolder(folder);
        trigger("actAddFolder");
    });
    app::DocumentTableModel& model = window.model();
    const std::size_t rows = model.documents().RowCount();
    const long after = ResidentKiB();
    std::size_t textBytes = 0;
    for (std::size_t row = 0; row < rows; ++row) {
        const engine::DocumentRecord& record = model.documents().RecordAt(row);
        textBytes += record.FullPath.size() + record.FileName.size() + record.FileSize.size() +
                     record.FileExt.size() + record.FileType.size();
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            textBytes += record.Value(p).size();
        }
    }

    step("Scroll top to bottom", [&] {
        QScrollBar* bar = window.grid().verticalScrollBar();
        for (int i = 0; i <= 200; ++i) {
            bar->setValue(bar->maximum() * i / 200);
            QApplication::processEvents();
        }
    });
    QCheckBox* checkAll = window.findChild<QCheckBox*>();
    step("Check All off and on", [&] {
        if (checkAll != nullptr) {
            checkAll->click();
            QApplication::processEvents();
            checkAll->click();
        }
    });
    step("Edit Title of every row", [&] {
        const app::DocumentTableModel::UpdateBlock block(model);
        for (std::size_t row = 0; row < rows; ++row) {
            model.setData(model.index(static_cast<int>(row), 3), QStringLiteral("Window benchmark"),
                          Qt::EditRole);
        }
    });
    step("Save All", [&] { trigger("actSaveAll"); });
    step("Refresh", [&] { trigger("actRefresh"); });

    // The current row moves down one row per pass of the event loop, as a held-down arrow key moves
    // it (in the file-name column, where the current cell opens no editor): with the Details pane
    // closed, then open, which tells the pane's share. The pane reads only some of the packages passed.
    const auto moveThroughRows = [&] {
        const int count = std::min(2000, window.view().rowCount());
        for (int row = 0; row < count; ++row) {
            window.grid().setCurrentIndex(window.view().index(row, 0));
            QApplication::processEvents();
        }
    };
    step("Current row, 2,000 rows", moveThroughRows);
    auto* details = window.findChild<QAction*>(QStringLiteral("actDetails"));
    const int readsBefore = window.detailsPane().readsStarted();
    step("Details through 2,000 rows", [&] {
        details->trigger();
        moveThroughRows();
    });
    Spin(500); // the last row's read
    std::printf("  packages the Details pane read: %d\n", window.detailsPane().readsStarted() - readsBefore);
    details->trigger(); // closed for the steps that follow, as in runs before it existed

    // Header clicks: ascending, descending, back to the added order; each kind of column.
    QHeaderView* header = window.grid().horizontalHeader();

    const struct
    {
        const char* name;
        int column;
    } sorts[] = {{"Sort by file name (text)", 0},
                 {"Sort by size (number)", 2},
                 {"Sort by Title (text)", 3},
                 {"Sort by Revision (number)", 9},
                 {"Sort by CreatedTime (date)", 11}};

    for (const auto& sort : sorts) {
        for (const char* click : {"", " reversed", " added order"}) {
            step((std::string(sort.name) + click).c_str(), [&] { emit header->sectionClicked(sort.column); });
        }
    }
    // Typed one character at a time, as a user types; each keystroke filters all rows.
    auto* filter = window.findChild<QLineEdit*>(QStringLiteral("FilterBox"));
    const QString typed = QStringLiteral("sub05");
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        step(("Filter typed \"" + typed.left(length).toStdString() + "\"").c_str(),
             [&] { filter->setText(typed.left(length)); });
    }
    step("Filter cleared", [&] { filter->clear(); });

    const struct
    {
        const char* name;
        const char* file;
        const char* action;
    } exports[] = {{"Export HTML", "grid.html", "ExportToHTML1"},
                   {"Export text", "grid.txt", "ExportToText1"},
                   {"Export XML", "grid.xml", "ExportToXML1"},
                   {"Export spreadsheet", "grid.xlsx", "ExportToExcel1"}};

    for (const auto& e : exports) {
        step(e.name, [&] {
            app::Dialogs::setNextSaveFileName(output + "/" + QString::fromLatin1(e.file));
            trigger(e.action);
        });
    }
    step("Delete All", [&] { trigger("actDeleteAll"); });

    std::printf("rows %zu; resident set grew by %ld KiB: %.0f bytes per row, of which %.0f bytes of texts\n",
                rows, after - before, rows > 0 ? (after - before) * 1024.0 / static_cast<double>(rows) : 0.0,
                rows > 0 ? static_cast<double>(textBytes) / static_cast<double>(rows) : 0.0);
    for (const app::Dialogs::Message& message : app::Dialogs::takeShownMessages()) {
        std::printf("message: %s\n", message.text.left(200).toLocal8Bit().constData());
    }
    return 0;
}
