// Save All, Save Checked and Refresh on a few hundred rows: which rows they write or read again,
// what the grid is told to repaint, the rows held still while a worker looks at them, and Cancel
// before anything is written.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "engine/package/LoadDocument.h"
#include "support/TempDir.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>

#include <cstdio>
#include <set>

using namespace app;
using apptest::CellOf;
using apptest::Native;
using apptest::WaitForCommand;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 300;
constexpr auto kTitle = static_cast<std::size_t>(engine::CoreProperty::Title);
constexpr int kTitleColumn = engine::kFirstPropertyColumn + static_cast<int>(kTitle);

std::string NameOf(int i)
{
    char name[16];
    std::snprintf(name, sizeof name, "row%03d.pptx", i);
    return name;
}

// The title the package at path holds on disk.
std::string TitleOnDisk(const fs::path& path)
{
    engine::DocumentRecord record;
    record.FullPath = path.string();
    engine::LoadDocument(record);
    return record.Value(kTitle);
}

// The model rows that the dataChanged signals recorded by spy cover.
std::set<int> RowsTold(const QSignalSpy& spy)
{
    std::set<int> rows;
    for (const QList<QVariant>& signal : spy) {
        const auto first = signal.at(0).value<QModelIndex>();
        const auto last = signal.at(1).value<QModelIndex>();
        for (int row = first.row(); row <= last.row(); ++row) {
            rows.insert(row);
        }
    }
    return rows;
}

} // namespace

class SaveRefreshTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    std::vector<fs::path> m_paths;

    // kRows packages titled "t<i>", added with Add Folder in name order.
    void addPackages()
    {
        m_paths.clear();
        for (int i = 0; i < kRows; ++i) {
            m_paths.push_back(*m_dir / NameOf(i));
            apptest::WritePackage(m_paths.back(), "t" + std::to_string(i));
        }
        Dialogs::setNextFolder(Native(m_dir->Path()));
        m_window->findChild<QAction*>(QStringLiteral("actAddFolder"))->trigger();
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(m_window->model().documents().RowCount(), std::size_t{kRows});
    }

    void edit(int row, const QString& title)
    {
        DocumentTableModel& model = m_window->model();
        QVERIFY(model.setData(model.index(row, kTitleColumn), title, Qt::EditRole));
    }

    void trigger(const char* action) { m_window->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }

private slots:
    // Save All writes every changed row, the hidden ones too, and no other package; it holds the rows
    // still from the first look at them to the end, ends once, and tells the grid of every row it
    // stored.
    void saveAllWritesTheChangedRowsAndRepaintsThem()
    {
        addPackages();
        DocumentTableModel& model = m_window->model();
        std::vector<std::string> before;
        for (const fs::path& path : m_paths) {
            before.push_back(testsupport::ReadFileBytes(path));
        }
        for (int row = 0; row < kRows; row += 3) {
            edit(row, QStringLiteral("saved %1").arg(row));
        }
        // row1xx shown: 33 of the 100 changed rows (row102 ... row198); the other 67 hidden.
        m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->setText(QStringLiteral("row1"));
        QCOMPARE(m_window->view().rowCount(), 100);
        QSignalSpy told(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy finished(m_window.get(), &TfmMain::commandFinished);

        trigger("actSaveAll");
        QVERIFY(m_window->isBusy());
        // No edit reaches the rows while the save looks at them.
        QVERIFY(!model.setData(model.index(1, kTitleColumn), QStringLiteral("late"), Qt::EditRole));
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(finished.count(), 1);

        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(QStringLiteral("67 of the changed rows saved were hidden by the filter.")),
                 qPrintable(messages[0].text));
        const std::set<int> repainted = RowsTold(told);
        for (int row = 0; row < kRows; ++row) {
            const bool changed = row % 3 == 0;
            const std::string title = changed ? "saved " + std::to_string(row) : "t" + std::to_string(row);
            QCOMPARE(TitleOnDisk(m_paths[static_cast<std::size_t>(row)]), title);
            QCOMPARE(CellOf(*m_window, row, kTitleColumn), title);
            QVERIFY(!model.documents().RecordAt(static_cast<std::size_t>(row)).Modified);
            if (changed) {
                QVERIFY2(repainted.count(row) == 1, qPrintable(QString::number(row)));
            } else {
                QCOMPARE(testsupport::ReadFileBytes(m_paths[static_cast<std::size_t>(row)]),
                         before[static_cast<std::size_t>(row)]);
            }
        }
        QCOMPARE(model.documents().RecordAt(1).Value(kTitle), std::string("t1"));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Saved 100 packages"));
    }

    // Save Checked writes the changed rows that are checked and shown, and keeps the others' changes.
    void saveCheckedWritesOnlyTheCheckedRowsShown()
    {
        addPackages();
        DocumentTableModel& model = m_window->model();
        for (int row = 0; row < kRows; row += 2) {
            edit(row, QStringLiteral("saved %1").arg(row));
        }
        for (std::size_t row = 0; row < kRows; row += 4) {
            model.documents().SetCheckState(row, engine::kUnchecked);
        }
        m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->setText(QStringLiteral("row2"));
        trigger("actSaveChecked");
        QVERIFY(WaitForCommand(*m_window));
        Dialogs::takeShownMessages();
        for (int row = 0; row < kRows; ++row) {
            const bool changed = row % 2 == 0;
            const bool saved = changed && row % 4 != 0 && row >= 200;
            const auto r = static_cast<std::size_t>(row);
            QCOMPARE(model.documents().RecordAt(r).Modified, changed && !saved);
            QCOMPARE(TitleOnDisk(m_paths[r]), saved ? "saved " + std::to_string(row) : "t" + std::to_string(row));
            QCOMPARE(CellOf(*m_window, row, kTitleColumn),
                     changed ? "saved " + std::to_string(row) : "t" + std::to_string(row));
        }
    }

    // Cancel while the save still looks at the packages: nothing is written, every change stays in
    // its row and on the undo history.
    void cancelBeforeTheFirstWriteSavesNothing()
    {
        addPackages();
        DocumentTableModel& model = m_window->model();
        for (int row = 0; row < kRows; row += 5) {
            edit(row, QStringLiteral("kept %1").arg(row));
        }
        const int steps = m_window->undoStack()->count();
        std::vector<std::string> before;
        for (const fs::path& path : m_paths) {
            before.push_back(testsupport::ReadFileBytes(path));
        }
        QSignalSpy finished(m_window.get(), &TfmMain::commandFinished);
        trigger("actSaveAll");
        QVERIFY(m_window->isBusy());
        m_window->waitForm().requestCancel();
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!m_window->isBusy());
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Nothing was saved"));
        for (std::size_t row = 0; row < kRows; ++row) {
            QCOMPARE(testsupport::ReadFileBytes(m_paths[row]), before[row]);
            QCOMPARE(model.documents().RecordAt(row).Modified, row % 5 == 0);
        }
        QCOMPARE(CellOf(*m_window, 5, kTitleColumn), std::string("kept 5"));
        QCOMPARE(m_window->undoStack()->count(), steps);
        // The next save writes them.
        trigger("actSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(TitleOnDisk(m_paths[5]), std::string("kept 5"));
        QVERIFY(!model.anyModified());
    }

    // Refresh reads the rows shown again, repaints them, and is one step of Undo that brings back
    // the edits it replaced; rows the filter hides keep theirs.
    void refreshRereadsTheRowsShownAndKeepsEditsForUndo()
    {
        addPackages();
        DocumentTableModel& model = m_window->model();
        for (int row = 0; row < kRows; row += 10) {
            apptest::WritePackage(m_paths[static_cast<std::size_t>(row)], "disk " + std::to_string(row));
        }
        edit(1, QStringLiteral("edited 1"));
        edit(251, QStringLiteral("edited 251"));
        m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->setText(QStringLiteral("row0"));
        QSignalSpy told(&model, &QAbstractItemModel::dataChanged);
        trigger("actRefresh");
        QVERIFY(m_window->isBusy());
        QVERIFY(!model.setData(model.index(2, kTitleColumn), QStringLiteral("late"), Qt::EditRole));
        QVERIFY(WaitForCommand(*m_window));
        const std::set<int> repainted = RowsTold(told);
        for (int row = 0; row < kRows; ++row) {
            const bool shown = row < 100;
            std::string title = "t" + std::to_string(row);
            if (row % 10 == 0 && shown) {
                title = "disk " + std::to_string(row);
            }
            if (row == 251) {
                title = "edited 251";
            }
            QCOMPARE(CellOf(*m_window, row, kTitleColumn), title);
            if (shown) {
                QVERIFY2(repainted.count(row) == 1, qPrintable(QString::number(row)));
            }
        }
        QVERIFY(model.documents().RecordAt(251).Modified);
        QVERIFY(!model.documents().RecordAt(1).Modified);
        m_window->undoStack()->undo();
        QCOMPARE(CellOf(*m_window, 1, kTitleColumn), std::string("edited 1"));
        QCOMPARE(CellOf(*m_window, 10, kTitleColumn), std::string("t10"));
        QCOMPARE(CellOf(*m_window, 251, kTitleColumn), std::string("edited 251"));
    }
};

QTEST_MAIN(SaveRefreshTest)
#include "SaveRefreshTest.moc"
