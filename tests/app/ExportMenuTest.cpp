// The export menu of the window: target step, overwrite question, columns by index, failures shown.
#include "AppTestSupport.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "support/TempDir.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace app;
namespace fs = std::filesystem;

namespace {

void Trigger(TfmMain& window, const char* name)
{
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

} // namespace

class ExportMenuTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> m_dir;
    std::unique_ptr<TfmMain> m_window;

private slots:

    void initTestCase() { Dialogs::setTestMode(true); }

    void init()
    {
        m_dir = std::make_unique<testsupport::TempDir>();
        m_window = std::make_unique<TfmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        apptest::WritePackage(*m_dir / "deck.pptx", "Quarterly", "Acme");
        Dialogs::setNextFileNames({QString::fromStdString((*m_dir / "deck.pptx").string())});
        m_window->findChild<QToolButton*>("BitBtn1")->click();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().rowCount(), 1);
        Dialogs::takeShownMessages();
    }

    void cleanup()
    {
        m_window->model().clearRows();
        m_window.reset();
        m_dir.reset();
        Dialogs::takeShownMessages();
    }

    void menuHasTheFourItems()
    {
        auto* menu = m_window->findChild<QMenu*>("ExportMenu");
        QStringList captions;
        for (QAction* action : menu->actions()) {
            captions << action->text();
        }
        QCOMPARE(captions, (QStringList{"Export To Excel (*.xls)", "Export To HTML (*.htm)",
                                        "Export To Text (*.txt)", "Export To XML (*.xml)"}));
    }

    void textExportWritesColumnsInIndexOrder()
    {
        // A dragged or hidden column is still written at its index.
        QHeaderView* header = m_window->grid().horizontalHeader();
        header->moveSection(header->visualIndex(18), 0);
        header->setSectionHidden(4, true);
        const fs::path target = *m_dir / "out.txt";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Trigger(*m_window, "ExportToText1");
        const std::string text = testsupport::ReadFileBytes(target);
        QVERIFY(text.rfind("     File Name  ,  Full Path  ,  File Size  ,  Title  ,  Subject  ,", 0) == 0);
        QVERIFY(text.find("deck.pptx  ,  ") != std::string::npos);
        QVERIFY(text.find("Quarterly  ,  ") != std::string::npos);
        QVERIFY(text.find("Acme  ,  ") != std::string::npos);
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no keeps the file") << int(QMessageBox::No) << false;
        QTest::newRow("yes replaces it") << int(QMessageBox::Yes) << true;
    }

    void overwriteQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const fs::path target = *m_dir / "out.htm";
        testsupport::WriteFileBytes(target, "old");
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Dialogs::setNextAnswer(static_cast<QMessageBox::StandardButton>(answer));
        Trigger(*m_window, "ExportToHTML1");
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));
        QCOMPARE(messages[0].text, QStringLiteral("File with the same name already exists,overwrite?"));
        const std::string content = testsupport::ReadFileBytes(target);
        QCOMPARE(content != "old", replaced);
        if (replaced) {
            QVERIFY(content.find("<H5 Align=\"center\">out</H5>") != std::string::npos);
        }
    }

    void cancelledDialogWritesNothing()
    {
        Trigger(*m_window, "ExportToXML1");
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QCOMPARE(std::distance(fs::directory_iterator(m_dir->Path()), fs::directory_iterator()), 1);
    }

    void failuresAreShownWithTheirText()
    {
        const fs::path target = *m_dir / "missing-folder" / "out.xml";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Trigger(*m_window, "ExportToXML1");
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(!messages[0].text.isEmpty());
        QVERIFY(!fs::exists(target));
    }

    void spreadsheetGoesToTheChosenFile()
    {
        const fs::path target = *m_dir / "sheet.xls";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Trigger(*m_window, "ExportToExcel1");
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QVERIFY(fs::file_size(target) > 0);
    }

    void filtersReadByTheFileDialog_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("packages") << "PowerPoint Files(*.pptx)|*.pptx"
                                  << "PowerPoint Files(*.pptx)";
        QTest::newRow("html") << "HTML File|*.htm"
                              << "HTML File (*.htm)";
        QTest::newRow("two patterns") << "Any|*.a;*.b"
                                      << "Any (*.a *.b)";
        QTest::newRow("no bar") << "Plain (*.x)"
                                << "Plain (*.x)";
        QTest::newRow("two filters") << "PowerPoint Files(*.pptx)|*.pptx|Office documents|*.pptx;*.docx"
                                     << "PowerPoint Files(*.pptx);;Office documents (*.pptx *.docx)";
    }

    void filtersReadByTheFileDialog()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(Dialogs::qtFilter(filter), expected);
    }
};

QTEST_MAIN(ExportMenuTest)
#include "ExportMenuTest.moc"
