// The export menu of the window: target step, overwrite question, columns by index, failures shown.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "export/ExportToFile.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <atomic>
#include <memory>

using namespace app;
namespace fs = std::filesystem;

namespace {

void Trigger(TfmMain& window, const char* name)
{
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
    QVERIFY2(apptest::WaitForCommand(window), name); // the export runs on a worker
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
        apptest::OpenMainWindow(m_window);
        apptest::WritePackage(*m_dir / "deck.pptx", "Quarterly", "Acme");
        Dialogs::setNextFileNames({QString::fromStdString((*m_dir / "deck.pptx").string())});
        m_window->findChild<QToolButton*>("BitBtn1")->click();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().rowCount(), 1);
        Dialogs::takeShownMessages();
    }

    void cleanup()
    {
        apptest::CloseMainWindow(m_window);
        m_dir.reset();
    }

    void menuHasOneItemPerFormat()
    {
        auto* menu = m_window->findChild<QMenu*>("ExportMenu");
        QStringList captions;
        for (QAction* action : menu->actions()) {
            captions << action->text();
        }
        QCOMPARE(captions, (QStringList{"Export To Excel (*.xlsx)", "Export To HTML (*.htm)",
                                        "Export To Text (*.txt)", "Export To XML (*.xml)", "Export to CSV"}));
    }

    void csvExportWritesTheTableAnImportReads()
    {
        const fs::path target = *m_dir / "out.csv";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Trigger(*m_window, "ExportToCsv");
        QVERIFY(apptest::WaitForCommand(*m_window));
        const std::string text = testsupport::ReadFileBytes(target);
        QVERIFY(text.rfind("FileName,FullPath,FileSize,Title,Subject,", 0) == 0);
        QVERIFY(text.find("\r\ndeck.pptx,") != std::string::npos);
        QVERIFY(text.find(",Quarterly,") != std::string::npos);
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Exported %1 row%2 to %3")
                     .arg(m_window->model().documents().RowCount())
                     .arg(m_window->model().documents().RowCount() == 1 ? "" : "s")
                     .arg(QDir::toNativeSeparators(QString::fromStdString(target.string()))));
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
        QVERIFY(apptest::WaitForCommand(*m_window));
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
        QVERIFY(apptest::WaitForCommand(*m_window));
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

    // The package of a row, under any name, or another package kind is refused before any question.
    void exportNeverReplacesAPackage_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("action");
        QTest::newRow("the row's package")
            << QStringLiteral("./deck.pptx") << QStringLiteral("ExportToExcel1");
        QTest::newRow("a link to it") << QStringLiteral("link.htm") << QStringLiteral("ExportToHTML1");
        QTest::newRow("another kind") << QStringLiteral("notes.docx") << QStringLiteral("ExportToText1");
    }

    void exportNeverReplacesAPackage()
    {
        QFETCH(QString, target);
        QFETCH(QString, action);
        fs::create_symlink(*m_dir / "deck.pptx", *m_dir / "link.htm");
        const std::string before = testsupport::ReadFileBytes(*m_dir / "deck.pptx");
        Dialogs::setNextSaveFileName(QString::fromStdString(m_dir->Path().string()) + QLatin1Char('/') +
                                     target);
        Dialogs::setNextAnswer(QMessageBox::Yes);
        Trigger(*m_window, action.toLatin1().constData());
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(QStringLiteral("choose")), qPrintable(messages[0].text));
        QCOMPARE(testsupport::ReadFileBytes(*m_dir / "deck.pptx"), before);
        QVERIFY(!fs::exists(*m_dir / "notes.docx"));
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
        QVERIFY(apptest::WaitForCommand(*m_window));
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(!messages[0].text.isEmpty());
        QVERIFY(!fs::exists(target));
        QVERIFY(!m_window->statusBar()->currentMessage().startsWith(QStringLiteral("Exported")));
    }

    void spreadsheetIsNeverWrittenUnderXls_data()
    {
        QTest::addColumn<bool>("xlsxExists");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("new name") << false << int(QMessageBox::No) << true;
        QTest::newRow("existing, no") << true << int(QMessageBox::No) << false;
        QTest::newRow("existing, yes") << true << int(QMessageBox::Yes) << true;
    }

    void spreadsheetIsNeverWrittenUnderXls()
    {
        QFETCH(bool, xlsxExists);
        QFETCH(int, answer);
        QFETCH(bool, written);
        // The question is about the name the workbook is written under.
        if (xlsxExists) {
            testsupport::WriteFileBytes(*m_dir / "sheet.xlsx", "old");
        }
        Dialogs::setNextSaveFileName(QString::fromStdString((*m_dir / "sheet.xls").string()));
        Dialogs::setNextAnswer(static_cast<QMessageBox::StandardButton>(answer));
        Trigger(*m_window, "ExportToExcel1");
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(Dialogs::takeShownMessages().size(), xlsxExists ? 1 : 0);
        QVERIFY(!fs::exists(*m_dir / "sheet.xls"));
        QCOMPARE(testsupport::ReadFileBytes(*m_dir / "sheet.xlsx") != "old", written);
    }

    void spreadsheetFailureSaysWhatFailed()
    {
        const fs::path target = *m_dir / "missing" / "sheet.xlsx";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        Trigger(*m_window, "ExportToExcel1");
        QVERIFY(apptest::WaitForCommand(*m_window));
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        const QString path = QString::fromStdString(target.string());
        QVERIFY2(messages[0].text.startsWith(QStringLiteral("Cannot write the spreadsheet %1: ").arg(path)),
                 qPrintable(messages[0].text));
        QVERIFY2(messages[0].text.endsWith(QStringLiteral("No such file or directory")),
                 qPrintable(messages[0].text));
        QCOMPARE(messages[0].text.count(path), 1); // the file is named once
    }

    void exportsRunOnAWorkerWithTheWaitBox_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("spreadsheet") << "ExportToExcel1";
        QTest::newRow("html") << "ExportToHTML1";
        QTest::newRow("text") << "ExportToText1";
        QTest::newRow("xml") << "ExportToXML1";
    }

    void exportsRunOnAWorkerWithTheWaitBox()
    {
        QFETCH(QString, item);
        auto ranOn = std::make_shared<std::atomic<QThread*>>(nullptr);
        auto release = std::make_shared<std::atomic<bool>>(false);
        m_window->setExporter([ranOn, release](exporting::ExportFormat format,
                                               const exporting::GridSnapshot& grid, const std::string& path) {
            *ranOn = QThread::currentThread();
            while (!*release) {
                QThread::yieldCurrentThread();
            }
            exporting::ExportToFile(format, grid, path);
        });
        const fs::path target = *m_dir / "out.file";
        Dialogs::setNextSaveFileName(QString::fromStdString(target.string()));
        m_window->findChild<QAction*>(item)->trigger(); // not Trigger(), which waits for the end
        // The trigger has returned while the export is still held: the window is free meanwhile.
        QVERIFY(m_window->isBusy());
        QVERIFY(m_window->waitForm().isVisible());
        *release = true;
        QVERIFY(apptest::WaitForCommand(*m_window));
        QVERIFY(*ranOn != nullptr);
        QVERIFY(*ranOn != QApplication::instance()->thread());
        QVERIFY(!m_window->waitForm().isVisible());
        QVERIFY(fs::exists(target) || fs::exists(*m_dir / "out.file"));
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
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
