// Generated decks edited in the window, one cell in place and three properties with Batch
// Modify, saved with Save All and read back by the engine.
#include "AppTestSupport.h"
#include "EditingTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "archive/ExtractPackage.h"
#include "editing/BatchListModel.h"
#include "editing/PropertyEditorWidget.h"
#include "editing/PropertyLineEdit.h"
#include "editing/TfmModify.h"
#include "engine/package/LoadDocument.h"
#include "support/PackageBuilder.h"
#include "support/SampleDecks.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <iterator>

using namespace editingtest;
namespace fs = std::filesystem;

namespace {

// Every property set; a few; a core part only, so that the save creates the app part.
const char* const kPackages[] = {"props.pptx", "plain.pptx", "core_only.pptx"};

testsupport::PackageBuilder DeckFor(std::size_t row)
{
    return row == 0   ? testsupport::PropertyDeck()
           : row == 1 ? testsupport::PlainDeck()
                      : testsupport::CoreOnlyDeck();
}

constexpr std::size_t kSubject = 1;
constexpr std::size_t kKeywords = 3;
constexpr std::size_t kCreated = 8;
constexpr std::size_t kCompany = 15;

engine::DocumentRecord ReadBack(const fs::path& path)
{
    engine::DocumentRecord record;
    record.FullPath = path.string();
    const engine::DocumentOutcome outcome = engine::LoadDocument(record);
    if (!outcome.ok) {
        qWarning("%s: %s", path.c_str(), outcome.message.c_str());
    }
    return record;
}

} // namespace

class EditingEndToEndTest : public QObject
{
    Q_OBJECT

private slots:

    void initTestCase() { app::Dialogs::setTestMode(true); }

    void editedAndBatchModifiedPackagesReadBack()
    {
        testsupport::TempDir dir;
        QStringList paths;
        for (std::size_t row = 0; row < std::size(kPackages); ++row) {
            const fs::path deck = dir / kPackages[row];
            DeckFor(row).WriteTo(deck);
            paths << QString::fromStdString(deck.string());
        }
        auto window = WindowWithRows({});
        app::Dialogs::setNextFileNames(paths);
        window->findChild<QToolButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(apptest::WaitForCommand(*window));
        app::DocumentTableModel& model = window->model();
        QCOMPARE(model.rowCount(), 3);
        std::vector<engine::DocumentRecord> before;
        for (std::size_t row = 0; row < model.documents().RowCount(); ++row) {
            before.push_back(model.documents().RecordAt(row));
        }

        auto* title = qobject_cast<editing::PropertyLineEdit*>(FocusCell(*window, 1, 3));
        QVERIFY(title != nullptr);
        title->selectAll();
        QTest::keyClicks(title, "Edited in place");
        QTest::keyClick(title, Qt::Key_Return);

        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<editing::TfmModify*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            editing::BatchListModel& list = dialog->list();
            list.setData(list.index(int(kCompany), 1), QStringLiteral("Velmora QA"), Qt::EditRole);
            list.setData(list.index(int(kCreated), 1), QStringLiteral("2020-05-06 07:08:09"), Qt::EditRole);
            for (std::size_t p : {kKeywords, kCreated, kCompany}) {
                list.setData(list.index(int(p), 0), Qt::Checked, Qt::CheckStateRole);
            }
            dialog->btnAllClick();
        });
        window->findChild<QToolButton*>(QStringLiteral("BitBtn8"))->click();
        QVERIFY(model.anyModified());

        window->findChild<QToolButton*>(QStringLiteral("btnSaveAll"))->click();
        QVERIFY(apptest::WaitForCommand(*window));
        const auto messages = app::Dialogs::takeShownMessages();
        for (const auto& message : messages) {
            qWarning("%s", qPrintable(message.text));
        }
        QVERIFY(messages.isEmpty());
        QVERIFY(!model.anyModified());

        for (std::size_t row = 0; row < before.size(); ++row) {
            const engine::DocumentRecord saved = ReadBack(dir / kPackages[row]);
            for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
                std::string expected = before[row].Value(p);
                if (p == kKeywords) {
                    expected.clear();
                } else if (p == kCreated) {
                    expected = "2020-05-06 07:08:09";
                } else if (p == kCompany) {
                    expected = "Velmora QA";
                } else if (p == 0 && row == 1) {
                    expected = "Edited in place";
                }
                QCOMPARE(saved.Value(p), expected);
            }
            // A cleared property leaves the part, not an empty element.
            const fs::path parts = dir / ("parts" + std::to_string(row));
            archive::ExtractPackage(dir / kPackages[row], parts);
            const std::string core = testsupport::ReadFileBytes(parts / "docProps" / "core.xml");
            QVERIFY(core.find("keywords") == std::string::npos);
            QVERIFY(core.find("2020-05-06T07:08:09Z") != std::string::npos);
        }
    }

    // A value typed and taken back with Escape is never saved, whether the editor is still open at
    // the save or was finished before it; the package's other change is.
    void escapedEditIsNeverSaved_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("finishFirst");
        QTest::newRow("text, open at the save") << 3 << "Typo" << false;
        QTest::newRow("digits only, open at the save") << 9 << "12" << false;
        QTest::newRow("digits only, finished") << 9 << "12" << true;
        QTest::newRow("date, open at the save") << 11 << "2011-02-03 04:05:06" << false;
    }

    void escapedEditIsNeverSaved()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, finishFirst);
        testsupport::TempDir dir;
        const fs::path package = dir / "deck.pptx";
        testsupport::PackageBuilder::Presentation(
            testsupport::CoreXml(
                "<dc:title>Deck</dc:title><dc:subject>Old</dc:subject><cp:revision>21</cp:revision>"
                "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2009-03-05T14:07:09Z</dcterms:created>"),
            testsupport::AppXml("<Company>Co</Company>"))
            .WriteTo(package);
        const engine::DocumentRecord before = ReadBack(package);
        QCOMPARE(before.Value(6), std::string("21"));

        auto window = WindowWithRows({});
        app::Dialogs::setNextFileNames({QString::fromStdString(package.string())});
        window->findChild<QToolButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(apptest::WaitForCommand(*window));
        app::DocumentTableModel& model = window->model();
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.setData(model.index(0, 3 + int(kSubject)), QStringLiteral("New"), Qt::EditRole));
        QApplication::setActiveWindow(window.get()); // the wait box had it

        QWidget* editor = FocusCell(*window, 0, column);
        QVERIFY(editor != nullptr);
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, typed);
        QVERIFY(editing::AsPropertyEditor(editor)->isChangedSinceOpen());
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(EditorAt(*window, 0, column), editor);
        if (finishFirst) {
            QTest::keyClick(editor, Qt::Key_Return);
            QVERIFY(EditorAt(*window, 0, column) == nullptr);
        }

        window->findChild<QToolButton*>(QStringLiteral("btnSaveAll"))->click();
        QVERIFY(apptest::WaitForCommand(*window));
        QVERIFY(app::Dialogs::takeShownMessages().isEmpty());
        QVERIFY(!model.anyModified());
        const engine::DocumentRecord saved = ReadBack(package);
        for (std::size_t p = 0; p < engine::kPropertyCount; ++p) {
            QCOMPARE(saved.Value(p), p == kSubject ? std::string("New") : before.Value(p));
        }
        window->model().clearRows();
    }
};

QTEST_MAIN(EditingEndToEndTest)
#include "EditingEndToEndTest.moc"
