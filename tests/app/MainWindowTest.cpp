// The main window driven through its real widgets: adding, checking, deleting, marks, saving,
// dropping and closing.
#include "AppTestSupport.h"
#include "app/dialogs/CustomPropertiesDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/FileTypesDialog.h"
#include "app/dialogs/FillPatternDialog.h"
#include "app/dialogs/ImportDialog.h"
#include "app/dialogs/ReviewChangesDialog.h"
#include "app/dialogs/TFMAbout.h"
#include "app/dialogs/TWaitForm.h"
#include "app/dialogs/UserGuideWindow.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/settings/AppSettings.h"
#include "app/window/TfmMain.h"
#include "editing/RecordEditCommand.h"
#include "engine/journal/JournalStore.h"
#include "engine/package/LoadDocument.h"
#include "export/ExportFormat.h"
#include "export/GridSnapshot.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace app;
using apptest::CellOf;
using apptest::FileNames;
using apptest::Native;
using apptest::WaitForCommand;
using apptest::WritePackage;
namespace fs = std::filesystem;

namespace {

void Click(TfmMain& window, const char* button)
{
    auto* found = window.findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY2(found != nullptr, button);
    QVERIFY2(found->isEnabled(), button);
    found->click();
}

// The first letter of each row's file name, in row order.
QString Initials(const TfmMain& window)
{
    QString initials;
    for (const auto& name : FileNames(window)) {
        initials += QString::fromStdString(name.substr(0, 1));
    }
    return initials;
}

bool IsBlue(const TfmMain& window, int row, int column)
{
    const auto& model = window.model();
    return model.index(row, column).data(Qt::ForegroundRole).value<QColor>() == QColor(0, 0, 255);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> m_dir;
    std::unique_ptr<TfmMain> m_window;

    // Adds the given packages with Add File and waits for the command.
    void addFiles(const std::vector<fs::path>& paths)
    {
        QStringList names;
        for (const auto& path : paths) {
            names << Native(path);
        }
        Dialogs::setNextFileNames(names);
        Click(*m_window, "BitBtn1");
        QVERIFY(WaitForCommand(*m_window));
    }

    // Types text into the cell at row (as the grid shows it) and column, then presses Enter.
    void typeIntoCell(int row, int column, const QString& text)
    {
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(row, column));
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }

    std::vector<fs::path> makePackages(const std::vector<std::string>& titles)
    {
        std::vector<fs::path> paths;
        for (const auto& title : titles) {
            paths.push_back(*m_dir / (title + ".pptx"));
            WritePackage(paths.back(), title);
        }
        return paths;
    }

private slots:

    void initTestCase() { Dialogs::setTestMode(true); }

    void init()
    {
        m_dir = std::make_unique<testsupport::TempDir>();
        apptest::OpenMainWindow(m_window);
    }

    void cleanup()
    {
        apptest::CloseMainWindow(m_window);
        m_dir.reset();
    }

    // On a screen smaller than the window (800 by 600 at twice the scale) the window, the window
    // again with the geometry it had on a larger screen, the user guide and the dialogs open inside
    // the screen.
    void windowsOpenInsideASmallScreen()
    {
        if (!apptest::OnSmallScreen()) {
            const QString failure = apptest::RunOnSmallScreen();
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            return;
        }
        const QRect area = m_window->screen()->availableGeometry();
        // Inside the screen, or, where the window's layout cannot be made that small, at its smallest
        // with the title bar's corner on the screen.
        const auto onScreen = [&](const QWidget& window) {
            const QRect frame = window.frameGeometry();
            const QString where = QStringLiteral("%1: %2x%3 at %4,%5")
                                      .arg(QString::fromLatin1(window.metaObject()->className()))
                                      .arg(window.width())
                                      .arg(window.height())
                                      .arg(window.x())
                                      .arg(window.y());
            QVERIFY2(area.contains(frame.topLeft()), qPrintable(where));
            QVERIFY2(frame.right() <= area.right() || window.width() == window.minimumSize().width(),
                     qPrintable(where));
            QVERIFY2(frame.bottom() <= area.bottom() || window.height() == window.minimumSize().height(),
                     qPrintable(where));
        };
        onScreen(*m_window);
        const QMenuBar* menus = m_window->menuBar();
        QVERIFY(area.contains(QRect(menus->mapToGlobal(QPoint()), menus->size())));

        m_window->setGeometry(-500, -400, 2000, 1500);
        QVERIFY(m_window->close()); // remembers that geometry
        apptest::CloseMainWindow(m_window);
        apptest::OpenMainWindow(m_window);
        onScreen(*m_window);

        UserGuideWindow* guide = UserGuideWindow::showFor(m_window.get());
        QVERIFY(QTest::qWaitForWindowExposed(guide));
        onScreen(*guide);

        TfmMain* owner = m_window.get();
        const engine::ImportTable table{"table.csv", {{"FullPath", "Title"}}, {1}, true};
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<ReviewChangesDialog>(std::vector<ReviewEntry>{}, owner));
        dialogs.push_back(std::make_unique<ImportDialog>(table, std::vector<const engine::DocumentRecord*>{},
                                                         m_dir->Path(), owner));
        dialogs.push_back(
            std::make_unique<FillPatternDialog>(std::vector<const engine::DocumentRecord*>{}, owner));
        dialogs.push_back(std::make_unique<CustomPropertiesDialog>(owner->model().documents(),
                                                                   std::vector<std::size_t>{},
                                                                   std::vector<std::size_t>{}, owner));
        dialogs.push_back(std::make_unique<FileTypesDialog>(QStringList{}, owner));
        dialogs.push_back(std::make_unique<TFMAbout>(owner));
        for (const auto& dialog : dialogs) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            onScreen(*dialog);
            dialog->close();
        }
    }

    void addFolderAddsCheckedRowsInScanOrder()
    {
        WritePackage(*m_dir / "b.pptx", "Bee");
        WritePackage(*m_dir / "a.pptx", "Ay");
        WritePackage(*m_dir / "sub" / "c.PPTX", "Sea");
        WritePackage(*m_dir / "notes.txt", "text");
        testsupport::WriteFileBytes(*m_dir / "tiny.pptx", std::string(512, 'x'));
        Dialogs::setNextFolder(Native(m_dir->Path()));
        Click(*m_window, "BitBtn2");

        TWaitForm& box = m_window->waitForm();
        QVERIFY(box.isVisible());
        QCOMPARE(box.findChild<QLabel*>("Label2")->text(), QStringLiteral("Loading info.."));
        QVERIFY(m_window->isBusy());
        QVERIFY(!m_window->findChild<QToolButton*>("BitBtn3")->isEnabled());
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(!box.isVisible());
        QVERIFY(m_window->findChild<QToolButton*>("BitBtn3")->isEnabled());

        QCOMPARE(FileNames(*m_window), (std::vector<std::string>{"a.pptx", "b.pptx", "c.PPTX"}));
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("Ay"));
        QCOMPARE(CellOf(*m_window, 2, 3), std::string("Sea"));
        QCOMPARE(CellOf(*m_window, 2, 1), (*m_dir / "sub" / "c.PPTX").string());
        for (std::size_t row = 0; row < 3; ++row) {
            QCOMPARE(m_window->model().documents().CheckState(row), engine::kChecked);
        }
    }

    void unreadablePackageShowsItsError()
    {
        auto paths = makePackages({"good"});
        testsupport::WriteFileBytes(*m_dir / "broken.pptx", std::string(2000, 'z'));
        paths.push_back(*m_dir / "broken.pptx");
        // A ZIP archive without members (its comment makes it large enough to be added).
        testsupport::WriteFileBytes(*m_dir / "empty.pptx",
                                    std::string("PK\x05\x06", 4) + std::string(16, '\0') +
                                        std::string("\x00\x02", 2) + std::string(512, 'c'));
        paths.push_back(*m_dir / "empty.pptx");
        addFiles(paths);
        QCOMPARE(m_window->model().rowCount(), 3);
        QVERIFY(!m_window->model().index(0, 0).data(Qt::DecorationRole).isValid());
        for (int row : {1, 2}) {
            const QModelIndex index = m_window->model().index(row, 0);
            QVERIFY(index.data(Qt::DecorationRole).isValid());
            // The path once, at the front.
            const QString tip = index.data(Qt::ToolTipRole).toString();
            const QString path = Native(paths[static_cast<std::size_t>(row)]);
            QVERIFY2(tip.startsWith(path + QStringLiteral(": ")) && tip.count(path) == 1, qPrintable(tip));
        }
        QVERIFY(m_window->model()
                    .index(2, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("holds no presentation")));
    }

    void checkAllSetsEveryRowButNewRowsStartChecked()
    {
        auto paths = makePackages({"one", "two"});
        addFiles(paths);
        auto* checkAll = m_window->findChild<QCheckBox*>("cbCheckAll");
        QVERIFY(checkAll->isChecked());
        QTest::mouseClick(checkAll, Qt::LeftButton);
        QVERIFY(!checkAll->isChecked());
        QCOMPARE(m_window->model().documents().CheckState(0), engine::kUnchecked);
        QCOMPARE(m_window->model().documents().CheckState(1), engine::kUnchecked);

        addFiles({paths[0]});
        QCOMPARE(m_window->model().rowCount(), 3);
        QCOMPARE(m_window->model().documents().CheckState(2), engine::kChecked);
        QCOMPARE(checkAll->checkState(), Qt::PartiallyChecked);

        QTest::mouseClick(checkAll, Qt::LeftButton);
        for (std::size_t row = 0; row < 3; ++row) {
            QCOMPARE(m_window->model().documents().CheckState(row), engine::kChecked);
        }

        // The space key toggles the focused row, from any cell that opens no editor.
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(1, 1));
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(m_window->model().documents().CheckState(1), engine::kUnchecked);
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(m_window->model().documents().CheckState(1), engine::kChecked);
        QCOMPARE(m_window->model().documents().CheckState(0), engine::kChecked);
    }

    // The header's box and Edit > Check All show whether the rows shown are all, partly or not
    // checked; from partly checked either checks them all.
    void checkAllShowsAllPartlyOrNoRowsChecked_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("header box") << false;
        QTest::newRow("edit menu") << true;
    }

    void checkAllShowsAllPartlyOrNoRowsChecked()
    {
        QFETCH(bool, byMenu);
        addFiles(makePackages({"one", "two", "three"}));
        auto& model = m_window->model();
        auto* box = m_window->findChild<QCheckBox*>("cbCheckAll");
        auto* entry = m_window->findChild<QAction*>("actCheckAll");
        const auto shows = [&](Qt::CheckState state) {
            return box->checkState() == state && entry->isChecked() == (state == Qt::Checked) &&
                   entry->property("checkState").toInt() == int(state) &&
                   entry->icon().isNull() == (state != Qt::PartiallyChecked);
        };
        const auto click = [&] {
            if (byMenu) {
                entry->trigger();
            } else {
                QTest::mouseClick(box, Qt::LeftButton);
            }
        };
        const auto checks = [&] {
            QString marks;
            for (std::size_t row = 0; row < model.documents().RowCount(); ++row) {
                marks += model.documents().CheckState(row) == engine::kChecked ? QLatin1Char('1')
                                                                               : QLatin1Char('0');
            }
            return marks;
        };
        QVERIFY(shows(Qt::Checked));
        QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(shows(Qt::PartiallyChecked));
        click();
        QCOMPARE(checks(), QStringLiteral("111"));
        QVERIFY(shows(Qt::Checked));
        click();
        QCOMPARE(checks(), QStringLiteral("000"));
        QVERIFY(shows(Qt::Unchecked));
        click();
        QCOMPARE(checks(), QStringLiteral("111"));
        QVERIFY(shows(Qt::Checked));

        // With a filter set, the rows shown decide.
        QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        m_window->view().setFilterText(QStringLiteral("two"));
        QCOMPARE(m_window->view().rowCount(), 1);
        QVERIFY(shows(Qt::Unchecked));
        m_window->view().setFilterText(QStringLiteral("three"));
        QVERIFY(shows(Qt::Checked));
        click();
        QCOMPARE(checks(), QStringLiteral("100"));
        m_window->view().setFilterText(QString());
        QVERIFY(shows(Qt::PartiallyChecked));
    }

    void deleteChecked_data()
    {
        QTest::addColumn<QString>("checks");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("all") << "1111"
                             << "";
        QTest::newRow("none") << "0000"
                              << "abcd";
        QTest::newRow("alternate") << "1010"
                                   << "bd";
        QTest::newRow("last two") << "0011"
                                  << "ab";
    }

    void deleteChecked()
    {
        QFETCH(QString, checks);
        QFETCH(QString, remaining);
        addFiles(makePackages({"a", "b", "c", "d"}));
        for (int row = 0; row < 4; ++row) {
            m_window->model().documents().SetCheckState(
                static_cast<std::size_t>(row), checks[row] == '1' ? engine::kChecked : engine::kUnchecked);
        }
        Click(*m_window, "BitBtn3");
        std::string expected;
        for (const auto& name : FileNames(*m_window)) {
            expected += name.substr(0, 1);
        }
        QCOMPARE(QString::fromStdString(expected), remaining);
    }

    void deleteAllEmptiesTheGrid()
    {
        addFiles(makePackages({"a", "b"}));
        Click(*m_window, "BitBtn4");
        QCOMPARE(m_window->model().rowCount(), 0);
    }

    void deleteAndRefreshAreStepsOfUndo_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("left"); // the rows the command leaves, by initial
        QTest::newRow("Delete Checked") << "BitBtn3"
                                        << "ac";
        QTest::newRow("Delete All") << "BitBtn4"
                                    << "";
        QTest::newRow("Refresh") << "BitBtn5"
                                 << "abcd";
    }

    // Undo brings the rows back in their places as the very records the earlier steps point at,
    // with typed values, check states and custom properties; Redo takes them away again; the
    // earlier steps still undo afterwards.
    void deleteAndRefreshAreStepsOfUndo()
    {
        QFETCH(QString, button);
        QFETCH(QString, left);
        const auto paths = makePackages({"a", "b", "c", "d"});
        addFiles(paths);
        auto& model = m_window->model();
        model.documents().SetCheckState(0, engine::kUnchecked);
        model.documents().SetCheckState(2, engine::kUnchecked);
        typeIntoCell(1, 3, QStringLiteral("Typed"));
        QVERIFY(model.documents().RecordAt(1).Changed(0));
        engine::RecordChanges client;
        client.Custom = {engine::CustomChange{"Client", engine::CustomKind::Text, "Acme", false}};
        m_window->undoStack()->push(new editing::RecordEditCommand(
            model, editing::SameChangesOn({&model.documents().RecordAt(3)}, std::move(client)), "Custom Properties"));
        QVERIFY(model.documents().RecordAt(3).Modified);
        const std::string sizeBefore = model.documents().RecordAt(0).FileSize;
        WritePackage(paths[0], "changed on disk");
        std::vector<const engine::DocumentRecord*> records;
        for (std::size_t row = 0; row < 4; ++row) {
            records.push_back(&model.documents().RecordAt(row));
        }
        const int steps = m_window->undoStack()->count();
        auto* undo = m_window->findChild<QAction*>(QStringLiteral("actUndo"));
        auto* redo = m_window->findChild<QAction*>(QStringLiteral("actRedo"));

        for (int round = 0; round < 2; ++round) {
            if (round == 0) {
                Click(*m_window, qPrintable(button));
                // While a worker copies the rows, nothing may change them.
                QVERIFY(!undo->isEnabled() || !m_window->isBusy());
                QVERIFY(WaitForCommand(*m_window));
            } else {
                QVERIFY(redo->isEnabled());
                QTest::keySequence(m_window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
            }
            QCOMPARE(Initials(*m_window), left);
            QVERIFY(!model.anyModified());
            if (button == "BitBtn5") {
                QCOMPARE(CellOf(*m_window, 0, 3), std::string("changed on disk"));
                QCOMPARE(model.documents().RecordAt(0).FileSize, std::to_string(fs::file_size(paths[0])));
            }
            QCOMPARE(m_window->undoStack()->count(), steps + 1);
            QVERIFY(undo->isEnabled());
            QTest::keySequence(m_window.get(), QKeySequence(Qt::CTRL | Qt::Key_Z));
            QCOMPARE(Initials(*m_window), QStringLiteral("abcd"));
            for (std::size_t row = 0; row < 4; ++row) {
                QCOMPARE(&model.documents().RecordAt(row), records[row]);
                QCOMPARE(model.documents().CheckState(row),
                         row % 2 == 0 ? engine::kUnchecked : engine::kChecked);
            }
            QCOMPARE(CellOf(*m_window, 0, 3), std::string("a"));
            QCOMPARE(model.documents().RecordAt(0).FileSize, sizeBefore);
            QCOMPARE(CellOf(*m_window, 1, 3), std::string("Typed"));
            QVERIFY(IsBlue(*m_window, 1, 3));
            QVERIFY(engine::FindCustomProperty(model.documents().RecordAt(3).Custom, "Client") != nullptr);
            QVERIFY(model.documents().RecordAt(3).Modified);
        }
        undo->trigger();
        QVERIFY(engine::FindCustomProperty(model.documents().RecordAt(3).Custom, "Client") == nullptr);
        undo->trigger();
        QCOMPARE(CellOf(*m_window, 1, 3), std::string("b"));
        QVERIFY(!model.anyModified());
    }

    void editMarksAreClearedBySaveAndRefresh()
    {
        const auto paths = makePackages({"first", "second"});
        addFiles(paths);
        DocumentGrid& grid = m_window->grid();

        // Typing into the in-place editor; Save All commits the editor that is still open.
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(0, 3));
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, "Renamed");
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("Renamed"));
        QVERIFY(!m_window->model().documents().RecordAt(0).Modified);
        QVERIFY(!IsBlue(*m_window, 0, 0));
        QVERIFY(!IsBlue(*m_window, 0, 3));

        // An edit shows blue marks; Refresh rereads the saved title and drops them.
        QVERIFY(m_window->model().setData(m_window->model().index(1, 5), QStringLiteral("Someone"),
                                          Qt::EditRole));
        QVERIFY(IsBlue(*m_window, 1, 0));
        QVERIFY(IsBlue(*m_window, 1, 5));
        QVERIFY(!IsBlue(*m_window, 1, 3));
        Click(*m_window, "BitBtn5");
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("Renamed"));
        QCOMPARE(CellOf(*m_window, 1, 5), std::string("Tester"));
        QVERIFY(!IsBlue(*m_window, 1, 0));
        QVERIFY(!m_window->model().anyModified());
    }

    void saveCheckedSavesOnlyCheckedRows()
    {
        addFiles(makePackages({"kept", "saved"}));
        auto& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Changed 0"), Qt::EditRole));
        QVERIFY(model.setData(model.index(1, 3), QStringLiteral("Changed 1"), Qt::EditRole));
        model.documents().SetCheckState(0, engine::kUnchecked);
        Click(*m_window, "btnSaveChecked");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(model.documents().RecordAt(0).Modified);
        QVERIFY(!model.documents().RecordAt(1).Modified);
    }

    void saveFailuresAreListedAndStayMarked()
    {
        const auto paths = makePackages({"fine", "doomed"});
        addFiles(paths);
        auto& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 4), QStringLiteral("New subject"), Qt::EditRole));
        QVERIFY(model.setData(model.index(1, 4), QStringLiteral("New subject"), Qt::EditRole));
        // The second package is no longer a package by the time it is saved.
        testsupport::WriteFileBytes(paths[1], std::string(4000, 'q'));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));

        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));
        QVERIFY(messages[0].text.contains(Native(paths[1])));
        QVERIFY(!messages[0].text.contains(Native(paths[0])));
        QVERIFY(!model.documents().RecordAt(0).Modified);
        QVERIFY(model.documents().RecordAt(1).Modified);
        QVERIFY(IsBlue(*m_window, 1, 0));
        QVERIFY(model.index(1, 0).data(Qt::DecorationRole).isValid());
    }

    void saveIsJournaledAndUndoLastSaveRestoresIt()
    {
        const QByteArray oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString((*m_dir / "state").string()));
        const auto paths = makePackages({"undone", "other"});
        const std::string original = testsupport::ReadFileBytes(paths[0]);
        addFiles(paths);
        auto& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Saved title"), Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(testsupport::ReadFileBytes(paths[0]) != original);

        auto* undo = m_window->findChild<QAction*>(QStringLiteral("actUndoLastSave"));
        QVERIFY(undo != nullptr);
        undo->trigger(); // unanswered: No, nothing happens
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("Saved title"));
        Dialogs::setNextAnswer(QMessageBox::Yes);
        undo->trigger();
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("undone"));
        QVERIFY(!model.documents().RecordAt(0).Modified);
        QVERIFY(Dialogs::takeShownMessages().last().text.contains(QStringLiteral("1 package(s)")));

        // Saves recorded nowhere cannot be undone; the user is told.
        m_window->setSaveOptions(false, false);
        QVERIFY(model.setData(model.index(1, 3), QStringLiteral("Unrecorded"), Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        Dialogs::takeShownMessages();
        undo->trigger(); // the undone run is not offered again
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.last().text, QStringLiteral("No journaled save to undo."));
        QCOMPARE(CellOf(*m_window, 1, 3), std::string("Unrecorded"));
        qputenv("XDG_STATE_HOME", oldState);
    }

    // Two rows of one package: one save with the changes of both, both rows read again; Undo Last
    // Save then steps back one run at a time, naming each, and updates File Size.
    void rowsOfOnePackageAreSavedOnceAndUndoneRunByRun()
    {
        const QByteArray oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString((*m_dir / "state").string()));
        const auto paths = makePackages({"twice"});
        addFiles({paths[0], paths[0]});
        auto& model = m_window->model();
        QCOMPARE(model.documents().RowCount(), std::size_t{2});
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("First row"), Qt::EditRole));
        QVERIFY(model.setData(model.index(1, 4), QStringLiteral("Second row"), Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        for (std::size_t row : {0U, 1U}) {
            QCOMPARE(CellOf(*m_window, row, 3), std::string("First row"));
            QCOMPARE(CellOf(*m_window, row, 4), std::string("Second row"));
            QVERIFY(!model.documents().RecordAt(row).Modified);
        }
        const auto runs = engine::ReadJournal(*m_dir / "state" / "velmora" / "journal");
        QCOMPARE(runs.size(), std::size_t{1});
        QCOMPARE(runs[0].Entries.size(), std::size_t{1}); // the package's state before the run, once

        QVERIFY(model.setData(model.index(1, 3), QStringLiteral("Longer title of the second save, longer"),
                              Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        const std::string sizeAfterSecond = CellOf(*m_window, 0, 2);

        auto* undo = m_window->findChild<QAction*>(QStringLiteral("actUndoLastSave"));
        for (const std::string expected : {"First row", "twice"}) {
            Dialogs::setNextAnswer(QMessageBox::Yes);
            undo->trigger();
            QVERIFY(WaitForCommand(*m_window));
            QVERIFY(Dialogs::takeShownMessages().first().text.contains(QStringLiteral("1 package(s)")));
            engine::DocumentRecord package;
            package.FullPath = paths[0].string();
            QVERIFY(engine::LoadDocument(package).ok);
            QCOMPARE(package.Value(0), expected);
            QCOMPARE(CellOf(*m_window, 0, 3), expected);
            QCOMPARE(CellOf(*m_window, 1, 3), expected);
            QCOMPARE(model.documents().RecordAt(1).FileSize,
                     std::to_string(std::filesystem::file_size(paths[0])));
        }

        QVERIFY(CellOf(*m_window, 0, 2) != sizeAfterSecond);
        QCOMPARE(CellOf(*m_window, 1, 4), CellOf(*m_window, 0, 4));

        // The reread after Undo Last Save is a step of Undo: a pending edit of a row comes back.
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Third save"), Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(model.setData(model.index(1, 5), QStringLiteral("Pending creator"), Qt::EditRole));
        Dialogs::setNextAnswer(QMessageBox::Yes);
        undo->trigger();
        QVERIFY(WaitForCommand(*m_window));
        Dialogs::takeShownMessages();
        QCOMPARE(CellOf(*m_window, 1, 3), std::string("twice"));
        QVERIFY(!model.documents().RecordAt(1).Modified);
        m_window->undoStack()->undo();
        QCOMPARE(CellOf(*m_window, 1, 5), std::string("Pending creator"));
        QVERIFY(model.documents().RecordAt(1).Modified);
        qputenv("XDG_STATE_HOME", oldState);
    }

    // A save that meets a package another program has open names it first: Skip leaves it unsaved
    // with its changes (the status bar counts it as not saved, no report repeats it), Save Anyway
    // writes it. The question comes at every save; only the Options entry, until the program ends,
    // saves such packages without one.
    void packagesOpenElsewhereAreAskedAboutAtEachSave()
    {
        const auto paths = makePackages({"locked", "free"});
        testsupport::WriteFileBytes(paths[0].parent_path() / (".~lock." + paths[0].filename().string() + "#"),
                                    "Ann,ann,host,date,url;");
        const std::string original = testsupport::ReadFileBytes(paths[0]);
        addFiles(paths);
        auto& model = m_window->model();
        auto* counts = m_window->findChild<QLabel*>(QStringLiteral("GridCounts"));
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Mine"), Qt::EditRole));
        QVERIFY(model.setData(model.index(1, 3), QStringLiteral("Mine"), Qt::EditRole));

        Dialogs::setNextAnswer(QMessageBox::No); // Skip
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Packages Open in Other Programs"));
        QVERIFY(
            messages[0].text.startsWith(QStringLiteral("1 package(s) to save are open in another program")));
        QVERIFY(messages[0].text.contains(Native(paths[0]) +
                                          QStringLiteral(" (lock file .~lock.locked.pptx#, by Ann)")));
        QVERIFY(!messages[0].text.contains(Native(paths[1])));
        QVERIFY(testsupport::ReadFileBytes(paths[0]) == original);
        QVERIFY(model.documents().RecordAt(0).Modified);
        QVERIFY(model.documents().RecordAt(0).LastError.find("save again and choose Save Anyway") !=
                std::string::npos);
        QVERIFY(!model.documents().RecordAt(1).Modified);
        QTRY_COMPARE(counts->text(), QStringLiteral("2 packages, 2 checked, 1 modified, 1 not saved"));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Saved 1 package, 1 not saved"));

        Dialogs::setNextAnswer(QMessageBox::Yes); // Save Anyway
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Packages Open in Other Programs"));
        QVERIFY(testsupport::ReadFileBytes(paths[0]) != original);
        QVERIFY(!model.documents().RecordAt(0).Modified);
        QTRY_COMPARE(counts->text(), QStringLiteral("2 packages, 2 checked, 0 modified"));

        auto* option = m_window->findChild<QAction*>(QStringLiteral("actSaveLockedPackages"));
        QVERIFY(option != nullptr && !option->isChecked());
        option->trigger();
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Mine again"), Qt::EditRole));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QVERIFY(!model.documents().RecordAt(0).Modified);
        QVERIFY(!AppSettings()->contains(QStringLiteral("save/packagesOpenElsewhere")));
    }

    // A stored choice to save packages open elsewhere (as older versions kept it) is dropped when
    // the program starts.
    void aRememberedChoiceToSavePackagesOpenElsewhereIsDropped()
    {
        AppSettings()->setValue(QStringLiteral("save/packagesOpenElsewhere"), true);
        apptest::CloseMainWindow(m_window);
        apptest::OpenMainWindow(m_window);
        auto* option = m_window->findChild<QAction*>(QStringLiteral("actSaveLockedPackages"));
        QVERIFY(option != nullptr && !option->isChecked());
        QVERIFY(!AppSettings()->contains(QStringLiteral("save/packagesOpenElsewhere")));

        const auto paths = makePackages({"locked"});
        testsupport::WriteFileBytes(*m_dir / "~$locked.pptx", std::string(162, ' '));
        addFiles(paths);
        QVERIFY(
            m_window->model().setData(m_window->model().index(0, 3), QStringLiteral("Mine"), Qt::EditRole));
        Click(*m_window, "btnSaveAll"); // unanswered: Skip
        QVERIFY(WaitForCommand(*m_window));
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("(lock file ~$locked.pptx")));
        QVERIFY(m_window->model().documents().RecordAt(0).Modified);
    }

    void removePersonalInfoStagesOneUndoableStep()
    {
        addFiles(makePackages({"private", "unchecked"}));
        auto& model = m_window->model();
        model.documents().SetCheckState(1, engine::kUnchecked);
        const engine::DocumentRecord before = model.documents().RecordAt(0);
        const std::string file = testsupport::ReadFileBytes(*m_dir / "private.pptx");
        QTimer::singleShot(0, [] {
            QDialog* dialog = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() == QStringLiteral("dlgRemovePersonalInfo")) {
                    dialog = qobject_cast<QDialog*>(top);
                }
            }
            QVERIFY(dialog != nullptr);
            dialog->findChild<QCheckBox*>(QStringLiteral("cbCompany"))->setChecked(false);
            dialog->accept();
        });
        m_window->findChild<QAction*>(QStringLiteral("actRemovePersonalInfo"))->trigger();
        QCOMPARE(m_window->undoStack()->count(), 1);
        const engine::DocumentRecord& after = model.documents().RecordAt(0);
        QVERIFY(after.Modified);
        for (const std::size_t p :
             {std::size_t{2}, std::size_t{5}, std::size_t{7}, std::size_t{13}, std::size_t{16}}) {
            QVERIFY(after.Value(p).empty());
            QVERIFY(after.Changed(p));
        }
        QVERIFY(!after.Changed(15));
        QVERIFY(!model.documents().RecordAt(1).Modified);
        QCOMPARE(testsupport::ReadFileBytes(*m_dir / "private.pptx"), file); // nothing written yet
        m_window->undoStack()->undo();
        QCOMPARE(model.documents().RecordAt(0).Value(2), before.Value(2));
        QVERIFY(!model.documents().RecordAt(0).Modified);
    }

    void dropAddsFoldersAndLowerCasePackagesOnly()
    {
        const fs::path folder = *m_dir / "dropped";
        WritePackage(folder / "Inner.PPTX", "inner");
        WritePackage(*m_dir / "loose.pptx", "loose");
        WritePackage(*m_dir / "Deck.PPTX", "deck");
        WritePackage(*m_dir / "other.ppt", "other");

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Native(folder)), QUrl::fromLocalFile(Native(*m_dir / "Deck.PPTX")),
                      QUrl::fromLocalFile(Native(*m_dir / "loose.pptx")),
                      QUrl::fromLocalFile(Native(*m_dir / "other.ppt"))});
        const QPointF where(100, 200);
        QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(FileNames(*m_window), (std::vector<std::string>{"Inner.PPTX", "loose.pptx"}));
    }

    void columnMovesKeepCellsKeyedOnTheIndex()
    {
        addFiles(makePackages({"moved"}));
        DocumentGrid& grid = m_window->grid();
        QHeaderView* header = grid.horizontalHeader();
        header->moveSection(header->visualIndex(3), 0); // Title to the far left
        QCOMPARE(header->logicalIndex(0), 3);
        QCOMPARE(header->visualIndex(0), 1);

        const QModelIndex leftmost = grid.indexAt(QPoint(header->sectionViewportPosition(3) + 5, 5));
        QCOMPARE(leftmost.column(), 3);
        QCOMPARE(leftmost.data().toString(), QStringLiteral("moved"));
        QVERIFY(leftmost.flags() & Qt::ItemIsEditable);
        const QModelIndex second = grid.indexAt(QPoint(header->sectionViewportPosition(0) + 20, 5));
        QCOMPARE(second.column(), 0);
        QCOMPARE(second.data().toString(), QStringLiteral("moved.pptx"));
        QVERIFY(!(second.flags() & Qt::ItemIsEditable));
    }

    void cancelKeepsTheRowsLoadedSoFar()
    {
        std::vector<std::string> names;
        for (int i = 0; i < 40; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%02d.pptx", i);
            names.emplace_back(name);
            WritePackage(*m_dir / name, name);
        }
        // The request comes as the fifth package is reported, as if Cancel were clicked right then.
        TWaitForm& box = m_window->waitForm();
        m_window->setProgressObserver([&box](std::size_t done, std::size_t) {
            if (done == 5) {
                box.requestCancel();
            }
        });
        Dialogs::setNextFolder(Native(m_dir->Path()));
        Click(*m_window, "BitBtn2");
        QVERIFY(box.findChild<QToolButton*>("SpeedButton1")->isVisible());
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(!box.isVisible());
        // The rows loaded before the request are kept, in scan order, and no more; the status bar
        // says so.
        const auto loaded = FileNames(*m_window);
        QCOMPARE(loaded.size(), std::size_t{5});
        QVERIFY(std::equal(loaded.begin(), loaded.end(), names.begin()));
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Adding cancelled: 5 packages added, the list is incomplete"));
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }

    void scanProblemsAreListedAfterTheAdd_data()
    {
        QTest::addColumn<bool>("dropped");
        QTest::newRow("Add Folder") << false;
        QTest::newRow("dropped folder") << true;
    }

    // A folder that cannot be listed and a package link leading nowhere are named with their reasons
    // in one message after the add; the packages that could be read are added.
    void scanProblemsAreListedAfterTheAdd()
    {
        QFETCH(bool, dropped);
        const fs::path folder = *m_dir / "tree";
        WritePackage(folder / "a.pptx", "a");
        WritePackage(folder / "locked" / "b.pptx", "b");
        fs::create_symlink(folder / "nowhere.pptx", folder / "gone.pptx");
        fs::permissions(folder / "locked", fs::perms::none);
        const auto restore = qScopeGuard([&] { fs::permissions(folder / "locked", fs::perms::owner_all); });
        // Permissions do not stop the superuser from listing a folder.
        const bool lockedListed = geteuid() == 0;

        if (dropped) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(Native(folder))});
            QDragEnterEvent enter(QPoint(100, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window.get(), &enter);
            QDropEvent drop(QPointF(100, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_window.get(), &drop);
            QVERIFY(drop.isAccepted());
        } else {
            Dialogs::setNextFolder(Native(folder));
            Click(*m_window, "BitBtn2");
        }
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(FileNames(*m_window), lockedListed ? (std::vector<std::string>{"a.pptx", "b.pptx"})
                                                    : std::vector<std::string>{"a.pptx"});
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));
        const auto [summary, details] = Dialogs::summaryAndDetails(messages[0].text);
        QCOMPARE(summary,
                 QStringLiteral("%1 folder(s) or entries could not be read; packages in them are not "
                                "listed:")
                     .arg(lockedListed ? 1 : 2));
        QStringList expected{Native(folder / "gone.pptx") + QStringLiteral(": No such file or directory")};
        if (!lockedListed) {
            expected.prepend(Native(folder / "locked") + QStringLiteral(": Permission denied"));
        }
        QCOMPARE(details.split(QLatin1Char('\n')), expected);
    }

    // Cancel during Save All: the packages in hand are finished, the rest keep their bytes and
    // their rows their changes, and the report says how many were left.
    void cancelledSaveFinishesThePackagesInHand()
    {
        std::vector<std::string> titles;
        for (int i = 0; i < 60; ++i) {
            titles.push_back("t" + std::to_string(i));
        }
        const auto paths = makePackages(titles);
        addFiles(paths);
        auto& model = m_window->model();
        std::vector<std::string> before;
        for (std::size_t row = 0; row < paths.size(); ++row) {
            before.push_back(testsupport::ReadFileBytes(paths[row]));
            QVERIFY(
                model.setData(model.index(static_cast<int>(row), 3), QStringLiteral("Saved"), Qt::EditRole));
        }
        TWaitForm& box = m_window->waitForm();
        m_window->setProgressObserver([&box](std::size_t, std::size_t) { box.requestCancel(); });
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        m_window->setProgressObserver({});
        std::size_t saved = 0;
        for (std::size_t row = 0; row < paths.size(); ++row) {
            const bool unchanged = testsupport::ReadFileBytes(paths[row]) == before[row];
            QCOMPARE(model.documents().RecordAt(row).Modified, unchanged);
            saved += unchanged ? 0 : 1;
        }
        QVERIFY(saved >= 1);
        QVERIFY(saved < paths.size());
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        const auto [summary, details] = Dialogs::summaryAndDetails(messages[0].text);
        QVERIFY(summary.startsWith(QStringLiteral("Saved %1 of 60 package(s).").arg(saved)));
        QVERIFY(summary.contains(QStringLiteral("%1 package(s) were not saved: the save was cancelled.")
                                     .arg(paths.size() - saved)));
    }

    // The status bar counts the rows, the checked, the modified, the not saved and the unreadable
    // ones after every command and undo, and says for a while what a save did.
    void statusBarCountsStayRight()
    {
        const auto counts = [this] {
            auto* label = m_window->findChild<QLabel*>(QStringLiteral("GridCounts"));
            QCoreApplication::processEvents();
            return label != nullptr ? label->text() : QString();
        };
        QCOMPARE(counts(), QStringLiteral("0 packages, 0 checked, 0 modified"));
        auto paths = makePackages({"a", "b", "c"});
        testsupport::WriteFileBytes(*m_dir / "broken.pptx", std::string(600, 'x'));
        paths.push_back(*m_dir / "broken.pptx");
        addFiles(paths);
        QCOMPARE(counts(), QStringLiteral("4 packages, 4 checked, 0 modified, 1 unreadable"));
        auto& model = m_window->model();
        model.documents().SetCheckState(1, engine::kUnchecked);
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 0 modified, 1 unreadable"));
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Edited"), Qt::EditRole));
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 1 modified, 1 unreadable"));
        Click(*m_window, "BitBtn3"); // Delete Checked
        QCOMPARE(counts(), QStringLiteral("1 package, 0 checked, 0 modified"));
        m_window->undoStack()->undo();
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 1 modified, 1 unreadable"));
        Click(*m_window, "btnSaveChecked");
        QVERIFY(WaitForCommand(*m_window));
        Dialogs::takeShownMessages();
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 0 modified, 1 unreadable"));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Saved 1 package"));

        // A text typed in a cell editor counts before it is stored, and no longer once taken back.
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(2, 3));
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(m_window->view().index(2, 3)));
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("Typed"));
        QTRY_COMPARE(counts(), QStringLiteral("4 packages, 3 checked, 1 modified, 1 unreadable"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_COMPARE(counts(), QStringLiteral("4 packages, 3 checked, 0 modified, 1 unreadable"));
        QTest::keyClicks(editor, QStringLiteral("Typed"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(counts(), QStringLiteral("4 packages, 3 checked, 1 modified, 1 unreadable"));
        QVERIFY(model.documents().RecordAt(2).Modified);

        // A save that fails (here: the file is no package any more) leaves its row not saved, with its
        // change, as one refused for a lock file would; an unreadable row stays unreadable.
        testsupport::WriteFileBytes(paths[2], std::string(4000, 'q'));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(Dialogs::takeShownMessages().size(), 1);
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 1 modified, 1 not saved, 1 unreadable"));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Saved 0 packages, 1 failed"));
        // Refresh reads the package again: now it is unreadable, and the change is gone.
        Click(*m_window, "BitBtn5");
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(counts(), QStringLiteral("4 packages, 3 checked, 0 modified, 2 unreadable"));
    }

    // While a filter is set every command acts on the rows it shows, except Save All, which saves
    // every changed row and says how many of them were hidden; the status bar counts the rows shown.
    void commandsActOnTheRowsTheFilterShows()
    {
        addFiles(makePackages({"alpha one", "beta one", "alpha two", "beta two"}));
        auto& model = m_window->model();
        for (int row = 0; row < 4; ++row) {
            QVERIFY(model.setData(model.index(row, 5), QStringLiteral("Editor"), Qt::EditRole));
        }
        auto* filter = m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"));
        QVERIFY(filter != nullptr);
        m_window->activateWindow();
        QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(filter->hasFocus());
        QTest::keyClicks(filter, QStringLiteral("BETA"));
        QCOMPARE(m_window->view().rowCount(), 2);
        auto* counts = m_window->findChild<QLabel*>(QStringLiteral("GridCounts"));
        // Pending changes are counted on every row, the hidden ones named.
        QTRY_COMPARE(counts->text(),
                     QStringLiteral("2 of 4 packages shown, 2 checked, 4 modified (2 hidden by the filter)"));

        Click(*m_window, "btnSaveChecked");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QCOMPARE(model.documents().RecordAt(0).Modified, true);
        QCOMPARE(model.documents().RecordAt(1).Modified, false);
        QCOMPARE(model.documents().RecordAt(2).Modified, true);
        QCOMPARE(model.documents().RecordAt(3).Modified, false);

        Click(*m_window, "BitBtn3"); // Delete Checked
        QCOMPARE(FileNames(*m_window), (std::vector<std::string>{"alpha one.pptx", "alpha two.pptx"}));
        QTRY_COMPARE(counts->text(),
                     QStringLiteral("0 of 2 packages shown, 0 checked, 2 modified (2 hidden by the filter)"));
        m_window->undoStack()->undo();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(m_window->view().rowCount(), 2);

        QTest::keyClick(filter, Qt::Key_Escape);
        QCOMPARE(filter->text(), QString());
        QCOMPARE(m_window->view().rowCount(), 4);
        QTRY_COMPARE(counts->text(), QStringLiteral("4 packages, 4 checked, 2 modified"));

        QTest::keyClicks(filter, QStringLiteral("beta"));
        Click(*m_window, "btnSaveAll");
        QVERIFY(WaitForCommand(*m_window));
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("2 of the changed rows saved were hidden by the filter.")));
        QVERIFY(!model.anyModified());
        for (std::size_t row = 0; row < 4; ++row) {
            engine::DocumentRecord reread;
            reread.FullPath = model.documents().RecordAt(row).FullPath;
            QVERIFY(engine::LoadDocument(reread).ok);
            QCOMPARE(reread.Value(2), std::string("Editor"));
        }
    }

    // A header click sorts, a second reverses, a third returns to the added order; an export writes
    // the rows shown in the order shown.
    void headerClicksSortAndExportsFollowTheView()
    {
        addFiles(makePackages({"deck 9", "deck 10", "other", "deck 1"}));
        std::vector<std::string> exported;
        m_window->setExporter(
            [&exported](exporting::ExportFormat, const exporting::GridSnapshot& grid, const std::string&) {
                for (const auto& row : grid.Rows) {
                    exported.push_back(row.at(0));
                }
            });
        QHeaderView* header = m_window->grid().horizontalHeader();
        const auto clickFileNameHeader = [header] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + header->sectionSize(0) * 3 / 4,
                                     header->height() / 2));
        };
        const auto shown = [this] {
            std::vector<std::string> names;
            for (int row = 0; row < m_window->view().rowCount(); ++row) {
                names.push_back(m_window->view().index(row, 0).data().toString().toStdString());
            }
            return names;
        };
        using Names = std::vector<std::string>;
        clickFileNameHeader();
        QCOMPARE(shown(), (Names{"deck 1.pptx", "deck 9.pptx", "deck 10.pptx", "other.pptx"}));
        clickFileNameHeader();
        QCOMPARE(shown(), (Names{"other.pptx", "deck 10.pptx", "deck 9.pptx", "deck 1.pptx"}));
        m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->setText(QStringLiteral("DECK"));
        Dialogs::setNextSaveFileName(Native(*m_dir / "grid.html"));
        m_window->findChild<QAction*>(QStringLiteral("ExportToHTML1"))->trigger();
        QVERIFY(WaitForCommand(*m_window));
        QCOMPARE(exported, (Names{"deck 10.pptx", "deck 9.pptx", "deck 1.pptx"}));
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Exported 3 rows to %1").arg(Native(*m_dir / "grid.html")));
        clickFileNameHeader();
        QCOMPARE(shown(), (Names{"deck 9.pptx", "deck 10.pptx", "deck 1.pptx"}));
        QCOMPARE(FileNames(*m_window), (Names{"deck 9.pptx", "deck 10.pptx", "other.pptx", "deck 1.pptx"}));
    }

    // In a sorted view an edit typed into a cell goes to the package of that row, which stays put.
    void editsInASortedViewReachTheRowShown()
    {
        addFiles(makePackages({"b", "c", "a"}));
        m_window->view().sort(0, Qt::DescendingOrder);
        typeIntoCell(0, 3, QStringLiteral("zzz"));
        const DocumentGrid& grid = m_window->grid();
        const auto& documents = m_window->model().documents();
        QCOMPARE(documents.RecordAt(1).FileName, std::string("c.pptx"));
        QCOMPARE(documents.RecordAt(1).Value(0), std::string("zzz"));
        QCOMPARE(documents.RecordAt(0).Value(0), std::string("b"));
        QCOMPARE(m_window->view().index(0, 0).data().toString(), QStringLiteral("c.pptx"));
        QCOMPARE(grid.currentIndex(), m_window->view().index(1, 3)); // Enter moved down the view
    }

    // Shift+arrows select rows; Space and the context menu check or uncheck every selected row.
    void selectedRowsAreCheckedTogether()
    {
        addFiles(makePackages({"a", "b", "c", "d"}));
        auto& model = m_window->model();
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(0, 0));
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        const auto states = [&model] {
            QString text;
            for (std::size_t row = 0; row < 4; ++row) {
                text += model.documents().CheckState(row) == engine::kChecked ? QLatin1Char('x') : QLatin1Char('-');
            }
            return text;
        };
        QCOMPARE(states(), QStringLiteral("xxxx"));
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(states(), QStringLiteral("---x"));
        QTest::keyClick(&grid, Qt::Key_Space);
        QCOMPARE(states(), QStringLiteral("xxxx"));

        auto* menu = m_window->findChild<QMenu*>(QStringLiteral("GridMenu"));
        QVERIFY(menu != nullptr);
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            entries << (action->isSeparator() ? QStringLiteral("|") : action->text());
        }
        QCOMPARE(entries.mid(entries.indexOf(QStringLiteral("|"))),
                 (QStringList{QStringLiteral("|"), QStringLiteral("Check Selected"), QStringLiteral("Uncheck Selected"),
                              QStringLiteral("Open Containing Folder"), QStringLiteral("Copy Path")}));
        QVERIFY(entries.startsWith(m_window->findChild<QAction*>(QStringLiteral("ExportToExcel1"))->text()));
        m_window->findChild<QAction*>(QStringLiteral("actUncheckSelected"))->trigger();
        QCOMPARE(states(), QStringLiteral("---x"));
        m_window->findChild<QAction*>(QStringLiteral("actCopyPath"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text().split(QLatin1Char('\n')),
                 (QStringList{Native(*m_dir / "a.pptx"), Native(*m_dir / "b.pptx"), Native(*m_dir / "c.pptx")}));
    }

    // At start no caption is cut (sort arrow included) and no date, even in bold as a changed one is.
    void datesAndCaptionsAreNeverCut()
    {
        const DocumentGrid& grid = m_window->grid();
        const QHeaderView* header = grid.horizontalHeader();
        QFont bold = grid.font();
        bold.setBold(true);
        const int date = QFontMetrics(bold).horizontalAdvance(QStringLiteral("2024-09-26 09:15:59"));
        const auto& model = m_window->model();
        for (int column = 0; column < model.columnCount(); ++column) {
            const QString caption = model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            QVERIFY2(header->sectionSize(column) > QFontMetrics(header->font()).horizontalAdvance(caption) +
                                                       header->style()->pixelMetric(QStyle::PM_HeaderMarkSize),
                     qPrintable(caption));
            if (model.headerData(column, Qt::Horizontal, kDateColumnRole).toBool()) {
                QVERIFY2(header->sectionSize(column) > date, qPrintable(caption));
            }
        }
    }

    void closingDuringACommandWaitsForIt()
    {
        addFiles(makePackages({"a"}));
        Dialogs::setNextFolder(Native(m_dir->Path()));
        Click(*m_window, "BitBtn2");
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QVERIFY(WaitForCommand(*m_window));
        QTRY_VERIFY(!m_window->isVisible());
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }

    void closingAsksOnlyWithUnsavedChanges()
    {
        addFiles(makePackages({"a"}));
        auto& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("unsaved"), Qt::EditRole));

        Dialogs::setNextAnswer(QMessageBox::No);
        Click(*m_window, "BitBtn9");
        QVERIFY(m_window->isVisible());
        auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));

        Dialogs::setNextAnswer(QMessageBox::Yes);
        QVERIFY(m_window->close());
        QVERIFY(!m_window->isVisible());
        QCOMPARE(Dialogs::takeShownMessages().size(), 1);

        // Without changes the window closes at once, asking nothing.
        m_window->show();
        model.clearRows();
        QVERIFY(m_window->close());
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
