// Other package kinds and custom properties in the window: the File Types and Show Custom
// Properties options, the Custom Properties dialog with undo, exports and the save summary.
#include "AppTestSupport.h"
#include "app/AppInfo.h"
#include "app/AppSettings.h"
#include "app/CustomPropertiesDialog.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentTableModel.h"
#include "app/FileTypesDialog.h"
#include "app/TfmMain.h"
#include "engine/package/LoadDocument.h"
#include "support/OfficePackages.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>

#include <functional>

using namespace app;
using apptest::CellOf;
using apptest::FileNames;
using apptest::Native;
using apptest::WaitForCommand;
using apptest::WhenShown;
using testsupport::CoreXml;
using testsupport::CustomProperty;
using testsupport::CustomXml;
using testsupport::OfficePackage;
namespace fs = std::filesystem;

namespace {

void ClickOk(QDialog& dialog)
{
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

void Trigger(TfmMain& window, const char* name)
{
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

std::string Client(const std::string& value)
{
    return CustomXml(CustomProperty(2, "Client", "<vt:lpwstr>" + value + "</vt:lpwstr>") +
                     CustomProperty(3, "List", "<vt:vector size=\"0\" baseType=\"lpwstr\"/>"));
}

} // namespace

class OfficeOptionsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> m_dir;
    std::unique_ptr<TfmMain> m_window;

    void addFolder()
    {
        Dialogs::setNextFolder(Native(m_dir->Path()));
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn2"))->click();
        QVERIFY(WaitForCommand(*m_window));
    }

    void addFile(const fs::path& path)
    {
        Dialogs::setNextFileNames({Native(path)});
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(WaitForCommand(*m_window));
    }

    const engine::DocumentRecord& record(std::size_t row) const
    {
        return m_window->model().documents().RecordAt(row);
    }

private slots:

    void initTestCase() { Dialogs::setTestMode(true); }

    void init()
    {
        AppSettings()->clear();
        m_dir = std::make_unique<testsupport::TempDir>();
        apptest::WritePackage(*m_dir / "a.pptx", "Deck");
        OfficePackage("docx", CoreXml("<dc:title>Doc</dc:title>"), "", Client("Acme"))
            .WriteTo(*m_dir / "b.docx");
        OfficePackage("xlsx", CoreXml("<dc:title>Book</dc:title>"), "", "").WriteTo(*m_dir / "c.xlsx");
        apptest::OpenMainWindow(m_window);
    }

    // A message box that a test function did not take fails it.
    void cleanup()
    {
        apptest::CloseMainWindow(m_window);
        m_dir.reset();
    }

    void fileTypesGovernFoldersAndDropsAndAreRemembered()
    {
        addFolder();
        QCOMPARE(FileNames(*m_window), (std::vector<std::string>{"a.pptx"}));

        WhenShown<FileTypesDialog>([](FileTypesDialog& dialog) {
            QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("cbType_pptx"))->isChecked());
            dialog.findChild<QCheckBox*>(QStringLiteral("cbType_pptx"))->setChecked(false);
            auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QVERIFY(!ok->isEnabled()); // at least one type stays chosen
            dialog.findChild<QCheckBox*>(QStringLiteral("cbType_docx"))->setChecked(true);
            dialog.findChild<QCheckBox*>(QStringLiteral("cbType_pptx"))->setChecked(true);
            ClickOk(dialog);
        });
        Trigger(*m_window, "actFileTypes");
        QCOMPARE(AppSettings()->value(QStringLiteral("Options/FileTypes")).toStringList(),
                 (QStringList{QStringLiteral("pptx"), QStringLiteral("docx")}));

        m_window->model().clearRows();
        addFolder();
        QCOMPARE(FileNames(*m_window), (std::vector<std::string>{"a.pptx", "b.docx"}));

        // A dropped package of a chosen type is added; one of another type is not.
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(Native(*m_dir / "b.docx")), QUrl::fromLocalFile(Native(*m_dir / "c.xlsx"))});
        const QPointF where(100, 200);
        QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(WaitForCommand(*m_window));
        const std::vector<std::string> names = FileNames(*m_window);
        QCOMPARE(QString::fromStdString(names.back()), QStringLiteral("b.docx"));
        QCOMPARE(names, (std::vector<std::string>{"a.pptx", "b.docx", "b.docx"}));
    }

    void addFileOffersOfficeDocumentsSecond()
    {
        const QString filter = Dialogs::qtFilter(QString::fromUtf8(kPackageDialogFilter));
        const QStringList filters = filter.split(QStringLiteral(";;"));
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters[0], QStringLiteral("PowerPoint Files(*.pptx)"));
        QVERIFY(filters[1].startsWith(QStringLiteral("Office documents (*.pptx *.pptm")));
        QVERIFY(filters[1].contains(QStringLiteral("*.xltm")));
    }

    void showCustomPropertiesAddsReadOnlyColumnsAndExportsThem()
    {
        addFile(*m_dir / "b.docx");
        addFile(*m_dir / "a.pptx");
        DocumentTableModel& model = m_window->model();
        QCOMPARE(model.columnCount(), 20);
        Trigger(*m_window, "actShowCustomProperties");
        QVERIFY(AppSettings()->value(QStringLiteral("Options/ShowCustomProperties")).toBool());
        QCOMPARE(model.columnCount(), 22);
        QCOMPARE(model.headerData(20, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Custom:Client"));
        QCOMPARE(CellOf(*m_window, 0, 20), std::string("Acme"));
        QCOMPARE(CellOf(*m_window, 1, 20), std::string(""));
        QCOMPARE(model.index(0, 21).data(Qt::ToolTipRole).toString(), QStringLiteral("vt:vector"));
        QVERIFY(!(model.flags(model.index(0, 20)) & Qt::ItemIsEditable));

        Dialogs::setNextSaveFileName(Native(*m_dir / "out.xml"));
        m_window->ExportToXML1Click();
        QVERIFY(WaitForCommand(*m_window)); // the export runs on a worker
        const std::string xml = testsupport::ReadFileBytes(*m_dir / "out.xml");
        QVERIFY(xml.find("Custom_Client=\"Acme\"") != std::string::npos);

        // The column follows the rows.
        model.documents().DeleteRow(0);
        QCOMPARE(model.columnCount(), 20);
        Trigger(*m_window, "actShowCustomProperties");
        QVERIFY(!AppSettings()->value(QStringLiteral("Options/ShowCustomProperties")).toBool());
    }

    void customPropertiesAreStagedUndoableAndSaved()
    {
        addFile(*m_dir / "b.docx");
        m_window->grid().selectRow(0);
        WhenShown<CustomPropertiesDialog>([](CustomPropertiesDialog& dialog) {
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tblCustomProperties"));
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Client"));
            QCOMPARE(table->item(1, 1)->text(), QStringLiteral("vt:vector")); // shown read-only
            QVERIFY(!(table->item(1, 2)->flags() & Qt::ItemIsEditable));
            table->item(0, 2)->setText(QStringLiteral("Beta & <Co>"));
            dialog.findChild<QPushButton*>(QStringLiteral("btnAddCustom"))->click();
            auto* editor = table->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor != nullptr); // the new name is edited at once
            QTest::keyClicks(editor, QStringLiteral("Count"));
            qobject_cast<QComboBox*>(table->cellWidget(2, 1))->setCurrentIndex(1); // int
            table->item(2, 2)->setText(QStringLiteral("x"));
            ClickOk(dialog); // refused: not a number
            QCOMPARE(Dialogs::takeShownMessages().size(), 1);
            QVERIFY(dialog.isVisible());
            table->item(2, 2)->setText(QStringLiteral("5"));
            ClickOk(dialog);
        });
        Trigger(*m_window, "actCustomProperties");

        const auto values = [&] {
            std::vector<std::string> shown;
            for (const auto& item : record(0).Custom.Items) {
                shown.push_back(item.Name + "=" + item.Value + (item.Changed ? "*" : ""));
            }
            return shown;
        };
        QCOMPARE(values(), (std::vector<std::string>{"Client=Beta & <Co>*", "List=", "Count=5*"}));
        QVERIFY(record(0).Modified);
        QCOMPARE(m_window->model().index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));

        QUndoStack& stack = *m_window->undoStack();
        stack.undo();
        QCOMPARE(values(), (std::vector<std::string>{"Client=Acme", "List="}));
        QVERIFY(!record(0).Modified);
        stack.redo();
        QVERIFY(record(0).Modified);

        m_window->findChild<QToolButton*>(QStringLiteral("btnSaveAll"))->click();
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(!record(0).Modified);
        QCOMPARE(values(), (std::vector<std::string>{"Client=Beta & <Co>", "List=", "Count=5"}));
        engine::DocumentRecord reread;
        reread.FullPath = (*m_dir / "b.docx").string();
        QVERIFY(engine::LoadDocument(reread).ok);
        QCOMPARE(reread.Custom.Items.size(), std::size_t{3});
        QCOMPARE(reread.Custom.Items[2].Type, std::string("vt:i4"));

        // Like every edit, the change is undoable until the save.
        QVERIFY(!stack.canUndo());
    }

    void savingASignedPackageSaysSoInTheSummary()
    {
        OfficePackage("docx", CoreXml("<dc:title>T</dc:title>"), "", "", true).WriteTo(*m_dir / "s.docm");
        addFile(*m_dir / "s.docm");
        DocumentTableModel& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("New"), Qt::EditRole));
        m_window->findChild<QToolButton*>(QStringLiteral("btnSaveAll"))->click();
        QVERIFY(WaitForCommand(*m_window));
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        const auto [summary, details] = Dialogs::summaryAndDetails(messages[0].text);
        QVERIFY(summary.contains(QStringLiteral("1 saved package(s) were digitally signed")));
        QVERIFY(!summary.contains(QLatin1Char('\n')));
        QVERIFY(details.startsWith(
            QStringLiteral("These packages were digitally signed; their signatures may no longer verify:")));
        QVERIFY(messages[0].text.contains(Native(*m_dir / "s.docm")));
        QVERIFY(!record(0).Modified);
    }
};

QTEST_MAIN(OfficeOptionsTest)
#include "OfficeOptionsTest.moc"
