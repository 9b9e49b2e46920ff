// A local time the clocks show twice (the hour repeated when they go back), typed into a date cell
// or a date of Batch Modify: the window asks which of the two instants is meant, stores exactly
// that one and shows it with its offset; Cancel records nothing.
#include "AppTestSupport.h"
#include "ScopedTimeZone.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/BatchListModel.h"
#include "editing/PropertyDateEdit.h"
#include "editing/TfmModify.h"
#include "engine/package/LoadDocument.h"

#include <QToolButton>
#include <QUndoStack>

using namespace app;
using apptest::CellOf;

namespace {

constexpr int kCreatedColumn = 11;
constexpr std::size_t kCreated = 8;
const QString kTyped = QStringLiteral("2024-10-27 02:30:00");

// The package's CreatedTime as a fresh read of the file gives it.
std::string CreatedInPackage(const std::string& path)
{
    engine::DocumentRecord record;
    record.FullPath = path;
    if (!engine::LoadDocument(record).ok) {
        return "<unreadable: " + record.LastError + ">";
    }
    return record.Value(kCreated);
}

void Click(TfmMain& window, const char* button)
{
    auto* found = window.findChild<QToolButton*>(QString::fromLatin1(button));
    QVERIFY2(found != nullptr && found->isEnabled(), button);
    found->click();
}

} // namespace

class RepeatedHourTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    std::string m_path;

    const engine::DocumentRecord& record() const { return m_window->model().documents().RecordAt(0); }

    void addPackage()
    {
        m_path = (*m_dir / "night.pptx").string();
        apptest::WritePackage(m_path, "night");
        Dialogs::setNextFileNames({apptest::Native(m_path)});
        Click(*m_window, "BitBtn1");
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().rowCount(), 1);
    }

    editing::PropertyDateEdit* openCreatedEditor()
    {
        DocumentGrid& grid = m_window->grid();
        grid.setFocus();
        grid.setCurrentIndex(QModelIndex());
        grid.setCurrentIndex(m_window->view().index(0, kCreatedColumn));
        return qobject_cast<editing::PropertyDateEdit*>(
            grid.indexWidget(m_window->view().index(0, kCreatedColumn)));
    }

    // Types the repeated time into the CreatedTime cell and presses Enter; the question comes after
    // the edit has ended. Returns what the window showed.
    QList<Dialogs::Message> typeRepeatedTime()
    {
        auto* editor = openCreatedEditor();
        if (editor == nullptr) {
            return {};
        }
        editor->selectAll();
        QTest::keyClicks(editor, kTyped);
        QTest::keyClick(editor, Qt::Key_Return);
        QList<Dialogs::Message> shown;
        if (!QTest::qWaitFor([&shown] { return !(shown += Dialogs::takeShownMessages()).isEmpty(); }, 5000)) {
            return {};
        }
        QCoreApplication::processEvents();
        return shown;
    }

private slots:

    void theChosenInstantIsStoredSavedAndShownWithItsOffset_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the first, summer time") << 0 << "2024-10-27T00:30:00Z"
                                                << "2024-10-27 02:30:00+02:00";
        QTest::newRow("the second, standard time") << 1 << "2024-10-27T01:30:00Z"
                                                   << "2024-10-27 02:30:00+01:00";
    }

    void theChosenInstantIsStoredSavedAndShownWithItsOffset()
    {
        QFETCH(int, choice);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        const engine::ScopedTimeZone zone("Europe/Berlin");
        addPackage();
        const std::string before = record().Value(kCreated);

        Dialogs::setNextChoice(choice);
        const auto asked = typeRepeatedTime();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Time Shown Twice"));
        QVERIFY2(asked[0].text.contains(kTyped) &&
                     asked[0].text.contains(QStringLiteral("+02:00 (summer time)")) &&
                     asked[0].text.contains(QStringLiteral("+01:00 (standard time)")),
                 qPrintable(asked[0].text));
        QCOMPARE(QString::fromStdString(record().Value(kCreated)), stored);
        QVERIFY(record().Changed(kCreated));
        QCOMPARE(QString::fromStdString(CellOf(*m_window, 0, kCreatedColumn)), shown);
        QCOMPARE(m_window->undoStack()->count(), 1);

        // The editor opens on the shown time; left as it is, it asks nothing and changes nothing.
        auto* editor = openCreatedEditor();
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), kTyped);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        QCOMPARE(QString::fromStdString(record().Value(kCreated)), stored);

        Click(*m_window, "btnSaveAll");
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(QString::fromStdString(CreatedInPackage(m_path)), stored);
        QVERIFY(CreatedInPackage(m_path) != before);
        QCOMPARE(QString::fromStdString(CellOf(*m_window, 0, kCreatedColumn)), shown);
        Click(*m_window, "BitBtn5"); // Refresh
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(QString::fromStdString(CellOf(*m_window, 0, kCreatedColumn)), shown);
        QVERIFY(!record().Modified);
    }

    void cancelRecordsNothing()
    {
        const engine::ScopedTimeZone zone("Europe/Berlin");
        addPackage();
        const std::string before = record().Value(kCreated);
        const std::string bytes = testsupport::ReadFileBytes(m_path);

        Dialogs::setNextChoice(-1);
        QCOMPARE(typeRepeatedTime().size(), 1);
        QCOMPARE(record().Value(kCreated), before);
        QVERIFY(!record().Modified);
        QCOMPARE(m_window->undoStack()->count(), 0);
        Click(*m_window, "btnSaveAll");
        QVERIFY(apptest::WaitForCommand(*m_window));
        QVERIFY(testsupport::ReadFileBytes(m_path) == bytes);
    }

    void batchModifyAsksBeforeItApplies_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("stored"); // empty: nothing applied
        QTest::newRow("the first") << 0 << "2024-10-27T00:30:00Z";
        QTest::newRow("the second") << 1 << "2024-10-27T01:30:00Z";
        QTest::newRow("cancel") << -1 << "";
    }

    void batchModifyAsksBeforeItApplies()
    {
        QFETCH(int, choice);
        QFETCH(QString, stored);
        const engine::ScopedTimeZone zone("Europe/Berlin");
        addPackage();
        const std::string before = record().Value(kCreated);
        bool driven = false;
        bool stayed = false;
        QList<Dialogs::Message> asked;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<editing::TfmModify*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            driven = true;
            editing::BatchListModel& list = dialog->list();
            list.setData(list.index(0, 1), QStringLiteral("Batch"), Qt::EditRole);
            list.setData(list.index(0, 0), Qt::Checked, Qt::CheckStateRole);
            list.setData(list.index(int(kCreated), 1), kTyped, Qt::EditRole);
            list.setData(list.index(int(kCreated), 0), Qt::Checked, Qt::CheckStateRole);
            Dialogs::setNextChoice(choice);
            dialog->btnAllClick();
            asked = Dialogs::takeShownMessages();
            stayed = dialog->isVisible();
            dialog->reject();
        });
        Click(*m_window, "BitBtn8");
        QVERIFY(driven);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Time Shown Twice"));
        // Cancel applies nothing, not even the other values, and the dialog stays.
        QCOMPARE(stayed, stored.isEmpty());
        if (stored.isEmpty()) {
            QCOMPARE(record().Value(kCreated), before);
            QCOMPARE(record().Value(0), std::string("night"));
            QVERIFY(!record().Modified);
            QCOMPARE(m_window->undoStack()->count(), 0);
            return;
        }
        QCOMPARE(QString::fromStdString(record().Value(kCreated)), stored);
        QCOMPARE(record().Value(0), std::string("Batch"));
        QCOMPARE(QString::fromStdString(CellOf(*m_window, 0, kCreatedColumn)).left(19), kTyped);
        Click(*m_window, "btnSaveAll");
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(QString::fromStdString(CreatedInPackage(m_path)), stored);
    }
};

QTEST_MAIN(RepeatedHourTest)
#include "RepeatedHourTest.moc"
