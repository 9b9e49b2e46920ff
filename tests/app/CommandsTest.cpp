// The window's commands from the keyboard, the menus and the command bar: every shortcut runs its
// command (also while a cell editor is open, which is committed first), the menus hold the
// commands, and every command stays reachable in a narrow window.
#include "AppTestSupport.h"
#include "Version.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TFMAbout.h"
#include "app/dialogs/TWaitForm.h"
#include "app/dialogs/UserGuideWindow.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/CommandBar.h"
#include "app/window/TfmMain.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

using namespace app;
namespace fs = std::filesystem;

namespace {

// Names of the ten command-bar buttons and their actions, left to right.
const std::pair<const char*, const char*> kButtons[] = {
    {"BitBtn1", "actAddFile"},    {"BitBtn2", "actAddFolder"},   {"BitBtn3", "actDeleteChecked"},
    {"BitBtn4", "actDeleteAll"},  {"BitBtn8", "actBatchModify"}, {"btnSaveChecked", "actSaveChecked"},
    {"btnSaveAll", "actSaveAll"}, {"SpeedButton1", "actExport"}, {"BitBtn5", "actRefresh"},
    {"BitBtn9", "actExit"},
};

QStringList MenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

// How each command of the window and of the export menu is guarded: whether it needs the window idle
// (its action is disabled while a long command runs, and nothing happens if it is reached then all
// the same) and whether an open cell editor is committed before it runs.
struct Guards
{
    const char* action;
    bool needsIdle;
    bool commitsEditor;
};

const Guards kGuards[] = {
    {"actAddFile", true, true},
    {"actAddFolder", true, true},
    {"actDeleteChecked", true, true},
    {"actDeleteAll", true, true},
    {"actBatchModify", true, true},
    {"actSaveChecked", true, true},
    {"actSaveAll", true, true},
    {"actExport", true, true},
    {"actRefresh", true, true},
    {"actImport", true, true},
    {"actFillPattern", true, true},
    {"actUndoLastSave", true, true},
    {"actReviewChanges", true, true},
    {"actCustomProperties", true, true},
    {"actRemovePersonalInfo", true, true},
    {"actFileTypes", true, true},
    {"actFilter", true, true},
    {"actCheckSelected", true, true},
    {"actUncheckSelected", true, true},
    {"actOpenContainingFolder", true, true},
    {"actCopyPath", true, true},
    {"ExportToExcel1", true, true},
    {"ExportToHTML1", true, true},
    {"ExportToText1", true, true},
    {"ExportToXML1", true, true},
    {"ExportToCsv", true, true},
    // Exit asks a running command to stop and closes the window once it has ended.
    {"actExit", false, true},
    // The settings apply at once, also while a command runs.
    {"actJournalSaves", false, false},
    {"actKeepModificationTime", false, false},
    {"actSaveLockedPackages", false, false},
    {"actReviewBeforeSave", false, false},
    {"actShowCustomProperties", false, false},
    {"actShowStatistics", false, false},
    {"actDetails", false, false},
};

// Closes each dialog and popup menu shown while it lives, as soon as it shows, and notes its class
// and whether a check held at that moment. The wait box is left alone.
class ShownCloser
{
public:
    explicit ShownCloser(std::function<bool()> check = {})
        : m_check(std::move(check))
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { closeShown(); });
        m_timer.start(10);
    }

    [[nodiscard]] const QStringList& shown() const { return m_shown; }

    // The classes of those shown while the check did not hold.
    [[nodiscard]] const QStringList& failed() const { return m_failed; }

private:
    void closeShown()
    {
        QWidget* shown = QApplication::activePopupWidget();
        if (shown == nullptr) {
            shown = QApplication::activeModalWidget();
        }
        if (shown == nullptr || qobject_cast<TWaitForm*>(shown) != nullptr) {
            return;
        }
        const QString name = QString::fromLatin1(shown->metaObject()->className());
        m_shown << name;
        if (m_check && !m_check()) {
            m_failed << name;
        }
        if (auto* dialog = qobject_cast<QDialog*>(shown)) {
            dialog->reject();
        } else {
            shown->close();
        }
    }

    std::function<bool()> m_check;
    QTimer m_timer;
    QStringList m_shown;
    QStringList m_failed;
};

// The average lightness of a widget's upper half, where a command button shows its picture.
double IconLightness(QWidget* button)
{
    const QImage image = button->grab(QRect(0, 0, button->width(), 34)).toImage();
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += QColor(image.pixel(x, y)).lightnessF();
        }
    }
    return sum / (image.width() * image.height());
}

} // namespace

class CommandsTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    QAction* action(const char* name) const
    {
        return m_window->findChild<QAction*>(QString::fromLatin1(name));
    }

    void addPackage(const std::string& title)
    {
        const fs::path path = *m_dir / (title + ".pptx");
        apptest::WritePackage(path, title);
        Dialogs::setNextFileNames({QString::fromStdString(path.string())});
        action("actAddFile")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
    }

    // Opens the editor of the first row's Title and types text into it.
    QLineEdit* openTitleEditor(const QString& text)
    {
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(m_window->view().index(0, 3));
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        if (editor != nullptr) {
            editor->selectAll();
            QTest::keyClicks(editor, text);
        }
        return editor;
    }

    // Two rows, One checked with a pending change and Two unchecked, both selected: a state in which
    // every command has something to do.
    void addRowsForEveryCommand()
    {
        addPackage("One");
        addPackage("Two");
        DocumentTableModel& model = m_window->model();
        model.documents().SetCheckState(1, engine::kUnchecked);
        QVERIFY(model.setData(model.index(0, 4), QStringLiteral("Pending"), Qt::EditRole));
        m_window->grid().selectAll();
    }

    // Whether a cell editor of the grid is open.
    bool editorOpen() const
    {
        const auto editors = m_window->grid().viewport()->findChildren<QLineEdit*>();
        return std::any_of(editors.begin(), editors.end(), [](const QLineEdit* e) { return e->isVisible(); });
    }

    // The Title of the row of the named package; empty when no row holds it.
    std::string titleOf(const std::string& fileName) const
    {
        const std::vector<std::string> names = apptest::FileNames(*m_window);
        const auto row = std::find(names.begin(), names.end(), fileName);
        return row == names.end() ? std::string() : apptest::CellOf(*m_window, int(row - names.begin()), 3);
    }

    // What a command could change that a user or a test can see: the rows and their cells, the
    // undo steps, the messages, dialogs and menus shown, the focus, the clipboard and the files.
    QStringList windowState(const ShownCloser& closer) const
    {
        QStringList state;
        const DocumentTableModel& model = m_window->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            QString line = QStringLiteral("row check %1 modified %2:")
                               .arg(model.documents().CheckState(std::size_t(row)))
                               .arg(int(model.documents().RecordAt(std::size_t(row)).Modified));
            for (int column = 0; column < model.columnCount(); ++column) {
                line +=
                    QStringLiteral(" | ") + QString::fromStdString(apptest::CellOf(*m_window, row, column));
            }
            state << line;
        }
        state << QStringLiteral("undo steps %1, at %2")
                     .arg(m_window->undoStack()->count())
                     .arg(m_window->undoStack()->index());
        for (const Dialogs::Message& message : Dialogs::takeShownMessages()) {
            state << QStringLiteral("message ") + message.title + QStringLiteral(": ") + message.text;
        }
        for (const QUrl& url : Dialogs::takeOpenedUrls()) {
            state << QStringLiteral("opened ") + url.toString();
        }
        for (const QString& shown : closer.shown()) {
            state << QStringLiteral("shown ") + shown;
        }
        if (m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->hasFocus()) {
            state << QStringLiteral("focus in the filter box");
        }
        state << QStringLiteral("clipboard ") + QGuiApplication::clipboard()->text();
        for (const auto& entry : fs::recursive_directory_iterator(m_dir->Path())) {
            state << QStringLiteral("file %1, %2 bytes, written %3")
                         .arg(QString::fromStdString(entry.path().filename().string()))
                         .arg(quint64(entry.is_regular_file() ? entry.file_size() : 0))
                         .arg(qint64(entry.last_write_time().time_since_epoch().count()));
        }
        return state;
    }

    static void addGuardRows(bool onlyCommitting)
    {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<bool>("needsIdle");
        for (const Guards& guards : kGuards) {
            if (!onlyCommitting || guards.commitsEditor) {
                QTest::newRow(guards.action) << QString::fromLatin1(guards.action) << guards.needsIdle;
            }
        }
    }

private slots:

    void commandsNeedingTheWindowIdleDoNothingWhileACommandRuns_data() { addGuardRows(false); }

    void commandsNeedingTheWindowIdleDoNothingWhileACommandRuns()
    {
        QFETCH(QString, actionName);
        QFETCH(bool, needsIdle);
        addRowsForEveryCommand();
        const QStringList before = windowState(ShownCloser());

        // An export held on its worker keeps the window busy; it writes nothing.
        auto release = std::make_shared<std::atomic<bool>>(false);
        // Released also when a check fails, so that the window can close.
        const auto releaseAtEnd = qScopeGuard([release] { *release = true; });
        m_window->setExporter(
            [release](exporting::ExportFormat, const exporting::GridSnapshot&, const std::string&) {
                while (!*release) {
                    QThread::yieldCurrentThread();
                }
            });
        Dialogs::setNextSaveFileName(apptest::Native(*m_dir / "held.csv"));
        action("ExportToCsv")->trigger();
        QVERIFY(m_window->isBusy());

        QAction* command = action(actionName.toLatin1().constData());
        QVERIFY(command != nullptr);
        QCOMPARE(command->isEnabled(), !needsIdle);
        if (!needsIdle) {
            return;
        }
        const ShownCloser closer;
        // Reached all the same, as if something had left the action enabled.
        command->setEnabled(true);
        command->trigger();
        QTest::qWait(50);
        *release = true;
        QVERIFY(apptest::WaitForCommand(*m_window));
        QTest::qWait(50);
        QCOMPARE(windowState(closer), before);
    }

    void anOpenEditorIsCommittedBeforeTheCommandRuns_data()
    {
        addGuardRows(true);
    }

    void anOpenEditorIsCommittedBeforeTheCommandRuns()
    {
        QFETCH(QString, actionName);
        if (actionName == QLatin1String("actOpenContainingFolder")) {
            QSKIP("it hands a folder to the desktop, which a test does not do");
        }
        addRowsForEveryCommand();
        QVERIFY(openTitleEditor(QStringLiteral("Typed")) != nullptr);
        // A dialog or menu the command shows finds the edit stored and the editor closed.
        const ShownCloser closer([this] { return !editorOpen() && titleOf("One.pptx") == "Typed"; });
        action(actionName.toLatin1().constData())->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QTest::qWait(50);
        QVERIFY2(closer.failed().isEmpty(), qPrintable(closer.failed().join(QLatin1Char(' '))));
        // The typed title is on its row (an editor open now is a new one, on the current cell);
        // where the command took the row away or read it again, its Undo brings the row back with
        // the title.
        if (titleOf("One.pptx") != "Typed") {
            m_window->undoStack()->undo();
        }
        QCOMPARE(titleOf("One.pptx"), std::string("Typed"));
        Dialogs::takeShownMessages();
    }

    void shortcutsRunTheirCommands_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<bool>("withEditor");
        const std::pair<QKeySequence, const char*> keys[] = {
            {QKeySequence(Qt::CTRL | Qt::Key_O), "actAddFile"},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "actAddFolder"},
            {QKeySequence(Qt::CTRL | Qt::Key_S), "actSaveChecked"},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), "actSaveAll"},
            {QKeySequence(Qt::Key_F5), "actRefresh"},
            {QKeySequence(Qt::CTRL | Qt::Key_E), "actExport"},
            {QKeySequence(Qt::CTRL | Qt::Key_Q), "actExit"},
            {QKeySequence(Qt::CTRL | Qt::Key_B), "actBatchModify"},
            {QKeySequence(Qt::CTRL | Qt::Key_R), "actReviewChanges"},
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), "actDeleteChecked"},
            {QKeySequence(Qt::Key_F1), "actUserGuide"},
        };
        for (const auto& [key, name] : keys) {
            for (const bool withEditor : {false, true}) {
                QTest::addRow("%s%s", name, withEditor ? " with an editor open" : "")
                    << key << QString::fromLatin1(name) << withEditor;
            }
        }
    }

    void shortcutsRunTheirCommands()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, actionName);
        QFETCH(bool, withEditor);
        addPackage("Deck");
        auto* command = m_window->findChild<QAction*>(actionName);
        QVERIFY(command != nullptr);
        QSignalSpy triggered(command, &QAction::triggered);
        QWidget* target = &m_window->grid();
        if (withEditor) {
            target = openTitleEditor(QStringLiteral("Typed"));
            QVERIFY(target != nullptr);
        }
        if (actionName == QLatin1String("actBatchModify") ||
            actionName == QLatin1String("actReviewChanges")) {
            // The dialog is modal: close it once it runs.
            QTimer::singleShot(0, [] {
                if (QWidget* dialog = QApplication::activeModalWidget()) {
                    dialog->close();
                }
            });
        }
        QTest::keySequence(target, key);
        QCOMPARE(triggered.count(), 1);
        QVERIFY(apptest::WaitForCommand(*m_window));
        if (withEditor && actionName != QLatin1String("actUserGuide")) {
            // The command saw what was typed: the editor was committed before it ran.
            QVERIFY(m_window->grid().viewport()->findChild<QLineEdit*>() == nullptr ||
                    !m_window->grid().viewport()->findChild<QLineEdit*>()->isVisible());
            if (actionName == QLatin1String("actSaveAll") || actionName == QLatin1String("actSaveChecked")) {
                QCOMPARE(apptest::CellOf(*m_window, 0, 3), std::string("Typed"));
                QVERIFY(!m_window->model().documents().RecordAt(0).Modified);
            }
        }
        if (auto* menu = m_window->findChild<QMenu*>("ExportMenu"); menu->isVisible()) {
            menu->close();
        }
        Dialogs::takeShownMessages();
    }

    void deleteCheckedByKeyCommitsAndDeletes()
    {
        addPackage("One");
        addPackage("Two");
        m_window->model().documents().SetCheckState(1, engine::kUnchecked);
        openTitleEditor(QStringLiteral("Typed"));
        QTest::keySequence(m_window->grid().viewport()->findChild<QLineEdit*>(),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
        QCOMPARE(m_window->model().rowCount(), 1);
        QCOMPARE(apptest::CellOf(*m_window, 0, 3), std::string("Two"));
    }

    void ctrlEOpensTheExportMenuUnderTheButton()
    {
        auto* button = m_window->findChild<QToolButton*>("SpeedButton1");
        auto* menu = m_window->findChild<QMenu*>("ExportMenu");
        QTest::keySequence(&m_window->grid(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
        menu->close();

        // The button's right-click menu is the same export menu.
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                     button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &rightClick);
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }

    void helpWithoutABrowserShowsTheAddress()
    {
        action("Help1")->trigger();
        QCOMPARE(Dialogs::takeOpenedUrls().size(), 1);
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.contains(QStringLiteral("https://velmora.example.org")));

        Dialogs::setNextOpenUrlResult(true);
        action("Help1")->trigger();
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }

    void f1OpensTheUserGuideCompiledIn()
    {
        QTest::keySequence(&m_window->grid(), QKeySequence(Qt::Key_F1));
        auto* guide = m_window->findChild<UserGuideWindow*>();
        QVERIFY(guide != nullptr);
        QTRY_VERIFY(guide->isVisible());
        const QString text = guide->browser().toPlainText();
        // The Markdown is rendered, not shown as source.
        QVERIFY(text.contains(QStringLiteral("Velmora User Guide")));
        QVERIFY(!text.contains(QStringLiteral("# Velmora User Guide")));
        for (const char* section : {"Adding packages", "Batch changes", "Undo", "Custom properties",
                                    "Shortcuts", "The command line"}) {
            QVERIFY2(text.contains(QString::fromLatin1(section)), section);
        }
        // No browser was asked, and a second F1 brings the same window back.
        QVERIFY(Dialogs::takeOpenedUrls().isEmpty());
        guide->close();
        action("actUserGuide")->trigger();
        QCOMPARE(m_window->findChildren<UserGuideWindow*>().size(), 1);
        QVERIFY(guide->isVisible());
        guide->close();
    }

    void aboutBoxClosesWithOk()
    {
        TFMAbout about(m_window.get());
        about.show();
        auto* buttons = about.findChild<QDialogButtonBox*>();
        QVERIFY(buttons != nullptr);
        QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
        QVERIFY(ok != nullptr && ok->isVisible());
        QVERIFY(about.rect().contains(QRect(ok->mapTo(&about, QPoint(0, 0)), ok->size())));
        ok->click();
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }

    // The program decides on its arguments before it needs a display.
    void commandLineAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: velmora [options] [PATH...]"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "velmora " VELMORA_VERSION "\n"
                                 << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "x.pptx"} << 2 << ""
                                        << "velmora: Unknown option 'frobnicate'.";
        QTest::newRow("Qt option then help") << QStringList{"-style", "fusion", "--help"} << 0 << "--version"
                                             << "";
    }

    void commandLineAnswersWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VELMORA_APP_BINARY), arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        if (out.endsWith(QLatin1Char('\n'))) {
            QCOMPARE(printed, out);
        } else {
            QVERIFY2(printed.contains(out), qPrintable(printed));
        }
        QVERIFY2(errors.contains(err), qPrintable(errors));
        if (status == 2) {
            QVERIFY2(errors.contains(QStringLiteral("Usage: velmora")), qPrintable(errors));
        }
    }

    void menusHoldTheCommands()
    {
        QStringList bar;
        for (const QAction* entry : m_window->menuBar()->actions()) {
            if (entry->isVisible()) {
                bar << entry->text();
            }
        }
        QCOMPARE(bar, (QStringList{"&File", "&Edit", "&View", "&Options", "&About", "&User Guide", "&Help"}));
        QCOMPARE(MenuTexts(m_window->fileMenu()),
                 (QStringList{"Add &File\u2026", "Add F&older\u2026", "&Import\u2026", "Save &Checked",
                              "Save &All", "&Refresh", "&Export\tCtrl+E", "E&xit"}));
        QCOMPARE(MenuTexts(m_window->findChild<QMenu*>("FileExportMenu")),
                 (QStringList{"Export To Excel (*.xlsx)", "Export To HTML (*.htm)", "Export To Text (*.txt)",
                              "Export To XML (*.xml)", "Export to CSV"}));
        const QStringList edit = MenuTexts(m_window->editMenu());
        QCOMPARE(edit.mid(2),
                 (QStringList{"Undo &Last Save", "Re&view Changes\u2026", "Fi&lter Rows", "&Batch Modify\u2026",
                              "Custom Properties\u2026", "Remove &Personal Information\u2026",
                              "&Fill from Pattern\u2026", "Check &All", "&Delete Checked", "Delete A&ll"}));
        QCOMPARE(m_window->editMenu()->actions().at(0), action("actUndo"));
        QCOMPARE(m_window->editMenu()->actions().at(1), action("actRedo"));
        QCOMPARE(m_window->undoStack()->objectName(), QStringLiteral("undoStack"));
        QCOMPARE(action("actUndo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(action("actRedo")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QVERIFY(action("actDeleteAll")->shortcut().isEmpty());
        // The Details pane is off until the user turns it on.
        QCOMPARE(MenuTexts(m_window->findChild<QMenu*>("ViewMenu")), QStringList{"&Details"});
        QCOMPARE(action("actDetails")->shortcut(), QKeySequence(Qt::Key_F3));
        QVERIFY(action("actDetails")->isCheckable());
        QVERIFY(!action("actDetails")->isChecked());

        // The save settings are checkable and remembered between runs.
        QVERIFY(m_window->optionsMenu()->menuAction()->isVisible());
        QCOMPARE(MenuTexts(m_window->optionsMenu()),
                 (QStringList{"&Record Saves for Undo Last Save", "&Keep Modification Times",
                              "Save Packages &Open in Other Programs", "Review Changes &Before Saving",
                              "File Types\u2026", "Show Custom Properties", "Show Statistics Columns"}));
        QVERIFY(action("actJournalSaves")->isChecked());
        QVERIFY(!action("actKeepModificationTime")->isChecked());
        action("actKeepModificationTime")->trigger();
        TfmMain second;
        QVERIFY(second.findChild<QAction*>(QStringLiteral("actKeepModificationTime"))->isChecked());
        action("actKeepModificationTime")->trigger();
        QVERIFY(!TfmMain().findChild<QAction*>(QStringLiteral("actKeepModificationTime"))->isChecked());
        QVERIFY(!action("actReviewBeforeSave")->isChecked());
        action("actReviewBeforeSave")->trigger();
        QVERIFY(TfmMain().findChild<QAction*>(QStringLiteral("actReviewBeforeSave"))->isChecked());
        action("actReviewBeforeSave")->trigger();
        QVERIFY(!TfmMain().findChild<QAction*>(QStringLiteral("actReviewBeforeSave"))->isChecked());
    }

    void checkAllFollowsTheBoxBothWays()
    {
        addPackage("One");
        QAction* checkAll = action("actCheckAll");
        QVERIFY(checkAll->isChecked());
        checkAll->trigger();
        QCOMPARE(m_window->model().documents().CheckState(0), engine::kUnchecked);
        QVERIFY(!m_window->findChild<QCheckBox*>("cbCheckAll")->isChecked());
        m_window->findChild<QCheckBox*>("cbCheckAll")->click();
        QVERIFY(checkAll->isChecked());
        QCOMPARE(m_window->model().documents().CheckState(0), engine::kChecked);
    }

    void buttonsTriggerTheActionsAndNameTheirKeys()
    {
        for (const auto& [buttonName, actionName] : kButtons) {
            auto* button = m_window->findChild<QToolButton*>(QString::fromLatin1(buttonName));
            QVERIFY2(button != nullptr, buttonName);
            QCOMPARE(button->defaultAction(), action(actionName));
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            const QKeySequence key = button->defaultAction()->shortcut();
            if (!key.isEmpty()) {
                QVERIFY2(button->toolTip().endsWith(
                             QStringLiteral("(%1)").arg(key.toString(QKeySequence::NativeText))),
                         qPrintable(button->toolTip()));
            }
        }
        QCOMPARE(m_window->findChild<QToolButton*>("BitBtn1")->text(), QStringLiteral("Add File"));
    }

    void everyCommandReachableInANarrowWindow_data()
    {
        QTest::addColumn<int>("devicePixels");
        QTest::newRow("640 pixels") << 640;
        QTest::newRow("full width") << 1100;
    }

    void everyCommandReachableInANarrowWindow()
    {
        QFETCH(int, devicePixels);
        // Under QT_SCALE_FACTOR=2 the same screen pixels hold half as many window units.
        const int width = static_cast<int>(devicePixels / m_window->devicePixelRatioF());
        m_window->resize(width, 480);
        QTRY_COMPARE(m_window->width(), std::max(width, m_window->minimumSizeHint().width()));
        QVERIFY(m_window->width() <= width);
        auto* bar = m_window->findChild<CommandBar*>("Panel1");
        const QList<QAction*> overflow = bar->overflowActions();
        for (const auto& [buttonName, actionName] : kButtons) {
            auto* button = m_window->findChild<QToolButton*>(QString::fromLatin1(buttonName));
            const bool onBar = button->isVisible() && bar->rect().contains(button->geometry());
            const bool inMenu = overflow.contains(action(actionName)) &&
                                bar->extensionButton()->isVisible() &&
                                bar->rect().contains(bar->extensionButton()->geometry());
            QVERIFY2(onBar != inMenu, buttonName);
        }
        QCOMPARE(overflow.isEmpty(), devicePixels / m_window->devicePixelRatioF() >= 11 + 83 * 9 + 84);
    }

    void unavailableCommandsLookUnavailable()
    {
        auto* button = m_window->findChild<QToolButton*>("BitBtn8");
        const double enabled = IconLightness(button);
        action("actBatchModify")->setEnabled(false);
        QVERIFY(!button->isEnabled());
        const double disabled = IconLightness(button);
        QVERIFY2(disabled > enabled + 0.01,
                 qPrintable(QStringLiteral("%1 vs %2").arg(disabled).arg(enabled)));
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
