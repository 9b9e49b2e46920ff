// Other package kinds and custom properties in the window: the File Types and Show Custom
// Properties options, the Custom Properties dialog with undo, exports and the save summary.
#include "AppTestSupport.h"
#include "app/dialogs/AppInfo.h"
#include "app/dialogs/CustomPropertiesDialog.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/FileTypesDialog.h"
#include "app/dialogs/ImportDialog.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/settings/AppSettings.h"
#include "app/window/TfmMain.h"
#include "engine/package/LoadDocument.h"
#include "support/OfficePackages.h"
#include "support/PackageBuilder.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

// A failed check leaves the handler early: the dialog is closed then, so that the test goes on.
struct RejectOnExit
{
    QDialog& dialog;

    ~RejectOnExit()
    {
        if (dialog.isVisible()) {
            dialog.reject();
        }
    }
};

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

    void addFiles(const std::vector<fs::path>& paths)
    {
        QStringList names;
        for (const fs::path& path : paths) {
            names << Native(path);
        }
        Dialogs::setNextFileNames(names);
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(WaitForCommand(*m_window));
    }

    const engine::DocumentRecord& record(std::size_t row) const
    {
        return m_window->model().documents().RecordAt(row);
    }

    // "Name=Value" per custom property of the row, "*" after a staged one.
    std::vector<std::string> customOf(std::size_t row) const
    {
        std::vector<std::string> shown;
        for (const auto& item : record(row).Custom.Items) {
            shown.push_back(item.Name + "=" + item.Value + (item.Changed ? "*" : ""));
        }
        return shown;
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
        // A look of their own: italic captions and cells over a tint no built-in column has.
        QVERIFY(model.headerData(20, Qt::Horizontal, Qt::FontRole).value<QFont>().italic());
        QVERIFY(!model.headerData(3, Qt::Horizontal, Qt::FontRole).value<QFont>().italic());
        QVERIFY(model.index(1, 21).data(Qt::FontRole).value<QFont>().italic());
        const QVariant tint = model.index(1, 20).data(Qt::BackgroundRole);
        QVERIFY(tint.value<QColor>().isValid());
        for (int column = 0; column < 20; ++column) {
            QVERIFY(model.index(0, column).data(Qt::BackgroundRole) != tint);
        }

        Dialogs::setNextSaveFileName(Native(*m_dir / "out.xml"));
        Trigger(*m_window, "ExportToXML1");
        QVERIFY(WaitForCommand(*m_window)); // the export runs on a worker
        const std::string xml = testsupport::ReadFileBytes(*m_dir / "out.xml");
        QVERIFY(xml.find("Custom_Client=\"Acme\"") != std::string::npos);

        // The column follows the rows.
        model.documents().DeleteRow(0);
        QCOMPARE(model.columnCount(), 20);
        Trigger(*m_window, "actShowCustomProperties");
        QVERIFY(!AppSettings()->value(QStringLiteral("Options/ShowCustomProperties")).toBool());
    }

    // Options > Show Statistics Columns: read-only Slides, Words and Application after the configured
    // columns, remembered, sorted as numbers, exported under captions an import passes over.
    void statisticsColumnsSortAndExport()
    {
        const struct
        {
            const char* name;
            const char* app;
        } decks[] = {{"a.pptx", "<Application>Impress</Application><Slides>12</Slides><Words>7</Words>"},
                     {"b.pptx", "<Application>PowerPoint</Application><Slides>9</Slides>"},
                     {"c.pptx", "<Slides>100</Slides><Words>80</Words>"}};
        std::vector<fs::path> paths;
        for (const auto& deck : decks) {
            paths.push_back(*m_dir / deck.name);
            testsupport::PackageBuilder::Presentation(CoreXml("<dc:title>T</dc:title>"), testsupport::AppXml(deck.app))
                .WriteTo(paths.back());
        }
        addFiles(paths);
        DocumentTableModel& model = m_window->model();
        QCOMPARE(model.columnCount(), 20);
        Trigger(*m_window, "actShowStatistics");
        QCOMPARE(model.columnCount(), 23);
        QCOMPARE(model.headerData(20, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Statistic:Slides"));
        QCOMPARE(model.headerData(22, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Statistic:Application"));
        QCOMPARE(CellOf(*m_window, 0, 21), std::string("7"));
        QCOMPARE(CellOf(*m_window, 1, 22), std::string("PowerPoint"));
        QVERIFY(!(model.flags(model.index(0, 20)) & Qt::ItemIsEditable));
        QVERIFY(m_window->grid().horizontalHeader()->sectionSize(22) >= m_window->grid().fittingWidth(22));

        DocumentSortFilterModel& view = m_window->view();
        view.sort(20, Qt::AscendingOrder);
        QCOMPARE(view.rowsInShownOrder(), (std::vector<std::size_t>{1, 0, 2}));
        view.sort(21, Qt::DescendingOrder); // an absent statistic sorts last
        QCOMPARE(view.rowsInShownOrder(), (std::vector<std::size_t>{2, 0, 1}));
        view.setFilterText(QStringLiteral("impress"));
        QCOMPARE(view.rowsInShownOrder(), (std::vector<std::size_t>{0}));
        view.setFilterText(QString());

        // Custom columns follow the statistics ones.
        Trigger(*m_window, "actShowCustomProperties");
        QCOMPARE(model.columnCount(), 23);

        Dialogs::setNextSaveFileName(Native(*m_dir / "grid.csv"));
        Trigger(*m_window, "ExportToCsv");
        QVERIFY(WaitForCommand(*m_window));
        const std::string csv = testsupport::ReadFileBytes(*m_dir / "grid.csv");
        QVERIFY(csv.find("Statistic:Slides,Statistic:Words,Statistic:Application") != std::string::npos);
        Dialogs::setNextSaveFileName(Native(*m_dir / "grid.xml"));
        Trigger(*m_window, "ExportToXML1");
        QVERIFY(WaitForCommand(*m_window));
        QVERIFY(testsupport::ReadFileBytes(*m_dir / "grid.xml").find("Statistic_Application=\"Impress\"") !=
                std::string::npos);
        // The exported table imports back: its statistics are passed over, nothing is refused.
        Dialogs::setNextFileNames({Native(*m_dir / "grid.csv")});
        WhenShown<ImportDialog>([](ImportDialog& dialog) {
            const RejectOnExit closing{dialog};
            auto* blocked = dialog.findChild<QLabel*>(QStringLiteral("lblBlocked"));
            QVERIFY(blocked != nullptr);
            QVERIFY2(blocked->isHidden() || blocked->text().isEmpty(), qPrintable(blocked->text()));
        });
        Trigger(*m_window, "actImport");

        // Remembered: a new window shows them, until the user turns them off.
        apptest::CloseMainWindow(m_window);
        apptest::OpenMainWindow(m_window);
        QCOMPARE(m_window->model().columnCount(), 23);
        Trigger(*m_window, "actShowStatistics");
        QCOMPARE(m_window->model().columnCount(), 20);
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

        const auto values = [&] { return customOf(0); };
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

    void customPropertiesOfManyRowsShowOnlyWhatTheyShareAndChangeAsOneStep()
    {
        std::vector<fs::path> paths;
        for (const std::string stage : {"1", "2", "1"}) {
            paths.push_back(*m_dir / ("m" + std::to_string(paths.size()) + ".pptx"));
            const std::string owner =
                paths.size() == 1 ? CustomProperty(5, "Owner", "<vt:lpwstr>Ann</vt:lpwstr>") : "";
            OfficePackage("pptx", CoreXml("<dc:title>T</dc:title>"), "",
                          CustomXml(CustomProperty(2, "Client", "<vt:lpwstr>Acme</vt:lpwstr>") +
                                    CustomProperty(3, "Stage", "<vt:i4>" + stage + "</vt:i4>") +
                                    CustomProperty(4, "Note", "<vt:lpwstr>draft</vt:lpwstr>") + owner))
                .WriteTo(paths.back());
        }
        addFiles(paths);
        m_window->grid().selectAll();
        const int steps = m_window->undoStack()->count();
        WhenShown<CustomPropertiesDialog>([](CustomPropertiesDialog& dialog) {
            const RejectOnExit closer{dialog};
            auto* scope = dialog.findChild<QLabel*>(QStringLiteral("lblCustomScope"));
            QVERIFY(scope != nullptr);
            QCOMPARE(scope->text(), QStringLiteral("Changes apply to 3 packages"));
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tblCustomProperties"));
            QCOMPARE(table->rowCount(), 4);
            QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Acme"));
            for (int row : {1, 3}) { // Stage differs, Owner is held by one package only
                QCOMPARE(table->item(row, 2)->text(), QString());
                QVERIFY(table->item(row, 2)->toolTip().contains(QStringLiteral("different values")));
            }
            QVERIFY(table->item(0, 2)->toolTip().isEmpty());
            table->item(0, 2)->setText(QStringLiteral("Beta"));
            table->setCurrentCell(2, 0);
            dialog.findChild<QPushButton*>(QStringLiteral("btnRemoveCustom"))->click(); // Note
            ClickOk(dialog);
        });
        Trigger(*m_window, "actCustomProperties");

        QCOMPARE(m_window->undoStack()->count(), steps + 1);
        QCOMPARE(customOf(0), (std::vector<std::string>{"Client=Beta*", "Stage=1", "Owner=Ann"}));
        QCOMPARE(customOf(1), (std::vector<std::string>{"Client=Beta*", "Stage=2"}));
        QCOMPARE(customOf(2), (std::vector<std::string>{"Client=Beta*", "Stage=1"}));
        m_window->undoStack()->undo();
        QCOMPARE(customOf(0),
                 (std::vector<std::string>{"Client=Acme", "Stage=1", "Note=draft", "Owner=Ann"}));
        QCOMPARE(customOf(1), (std::vector<std::string>{"Client=Acme", "Stage=2", "Note=draft"}));
        QCOMPARE(customOf(2), (std::vector<std::string>{"Client=Acme", "Stage=1", "Note=draft"}));
        for (std::size_t row = 0; row < 3; ++row) {
            QVERIFY(!record(row).Modified);
        }
    }

    void customPropertiesTurnToTheCheckedRows()
    {
        addFiles({*m_dir / "a.pptx", *m_dir / "b.docx", *m_dir / "c.xlsx"});
        DocumentTableModel& model = m_window->model();
        QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        m_window->grid().selectRow(0);
        WhenShown<CustomPropertiesDialog>([](CustomPropertiesDialog& dialog) {
            const RejectOnExit closer{dialog};
            auto* scope = dialog.findChild<QLabel*>(QStringLiteral("lblCustomScope"));
            QVERIFY(scope != nullptr);
            QCOMPARE(scope->text(), QStringLiteral("Changes apply to a.pptx"));
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tblCustomProperties"));
            QCOMPARE(table->rowCount(), 0);
            dialog.findChild<QPushButton*>(QStringLiteral("btnAddCustom"))->click();
            QTest::keyClicks(table->viewport()->findChild<QLineEdit*>(), QStringLiteral("Stage"));
            auto* useChecked = dialog.findChild<QPushButton*>(QStringLiteral("btnCheckedRows"));
            QVERIFY(useChecked != nullptr);
            QCOMPARE(useChecked->text(), QStringLiteral("Use the Checked Rows (2)"));
            useChecked->click(); // asked whether to drop the new row: no
            QCOMPARE(Dialogs::takeShownMessages().size(), 1);
            QCOMPARE(table->rowCount(), 1);
            QCOMPARE(scope->text(), QStringLiteral("Changes apply to a.pptx"));
            Dialogs::setNextAnswer(QMessageBox::Yes);
            useChecked->click();
            QCOMPARE(Dialogs::takeShownMessages().size(), 1);
            QCOMPARE(scope->text(), QStringLiteral("Changes apply to 2 packages"));
            QVERIFY(!useChecked->isEnabled());
            QCOMPARE(table->rowCount(), 2); // c.xlsx has neither: both differ
            QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Client"));
            QCOMPARE(table->item(0, 2)->text(), QString());
            table->item(0, 2)->setText(QStringLiteral("Zeta"));
            ClickOk(dialog);
        });
        Trigger(*m_window, "actCustomProperties");
        QVERIFY(record(0).Custom.Items.empty());
        QCOMPARE(customOf(1), (std::vector<std::string>{"Client=Zeta*", "List="}));
        QCOMPARE(customOf(2), (std::vector<std::string>{"Client=Zeta*"}));

        // With nothing selected the dialog starts with the checked rows.
        m_window->grid().selectionModel()->clear();
        bool shown = false;
        WhenShown<CustomPropertiesDialog>([&shown](CustomPropertiesDialog& dialog) {
            const RejectOnExit closer{dialog};
            shown = true;
            const auto* scope = dialog.findChild<QLabel*>(QStringLiteral("lblCustomScope"));
            QVERIFY(scope != nullptr);
            QCOMPARE(scope->text(), QStringLiteral("Changes apply to 2 packages"));
            QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("btnCheckedRows"))->isEnabled());
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tblCustomProperties"));
            QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Zeta")); // both hold it now
            dialog.reject();
        });
        Trigger(*m_window, "actCustomProperties");
        QVERIFY(shown);
    }

    void customPropertiesPushNoStepWhenNothingChanges()
    {
        OfficePackage("pptx", CoreXml("<dc:title>T</dc:title>"), "",
                      CustomXml(CustomProperty(2, "Stage", "<vt:i4>5</vt:i4>")))
            .WriteTo(*m_dir / "s.pptx");
        addFile(*m_dir / "s.pptx");
        m_window->grid().selectRow(0);
        const int steps = m_window->undoStack()->count();
        WhenShown<CustomPropertiesDialog>([](CustomPropertiesDialog& dialog) {
            const RejectOnExit closer{dialog};
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tblCustomProperties"));
            table->item(0, 2)->setText(QStringLiteral("05")); // held as 5 already
            ClickOk(dialog);
        });
        Trigger(*m_window, "actCustomProperties");
        QCOMPARE(m_window->undoStack()->count(), steps);
        QVERIFY(!record(0).Modified);
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
