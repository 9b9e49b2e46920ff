// The window's commands from the keyboard, the menus and the command bar: every shortcut runs its
// command (also while a cell editor is open, which is committed first), the menus hold the
// commands, and every command stays reachable in a narrow window.
#include "AppTestSupport.h"
#include "Version.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TFMAbout.h"
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
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

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

private slots:

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
