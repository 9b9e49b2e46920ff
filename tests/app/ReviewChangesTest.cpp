// The review of pending changes: what it lists (exact texts, grouped by file, filtered by
// property), taking back unchecked changes as one undoable step, and the review before a save.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/ReviewChangesDialog.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "engine/package/LoadDocument.h"
#include "engine/package/OfficeExtensions.h"
#include "support/OfficePackages.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <functional>

using namespace app;
namespace fs = std::filesystem;

namespace {

enum class Press
{
    Save,
    Close,
};

// Answers the next review: inspect looks at it (and may uncheck rows), then a button is pressed.
// Sets shown once the review has been seen.
void WhenReviewed(std::function<void(ReviewChangesDialog&)> inspect, Press press, bool* shown = nullptr)
{
    QTimer::singleShot(0, [inspect, press, shown] {
        auto* dialog = qobject_cast<ReviewChangesDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        if (shown != nullptr) {
            *shown = true;
        }
        inspect(*dialog);
        const char* button = press == Press::Save ? "btnReviewSave" : "btnReviewClose";
        dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    });
}

QString Cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole)
{
    return model.index(row, column).data(role).toString();
}

QStringList Row(const QAbstractItemModel& model, int row)
{
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column) {
        cells << Cell(model, row, column);
    }
    return cells;
}

void Uncheck(QAbstractItemModel& model, int row)
{
    QVERIFY(
        model.setData(model.index(row, PendingChangesModel::FileColumn), Qt::Unchecked, Qt::CheckStateRole));
}

std::string TitleOnDisk(const fs::path& path)
{
    engine::DocumentRecord record;
    record.FullPath = path.string();
    engine::LoadDocument(record);
    return record.Value(0);
}

constexpr std::size_t kTitle = 0;
constexpr std::size_t kCompany = 15;

} // namespace

class ReviewChangesTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    QAction* action(const char* name) const
    {
        return m_window->findChild<QAction*>(QString::fromLatin1(name));
    }

    // Adds a.pptx and b.pptx with the given titles.
    void addTwo(const std::string& titleA, const std::string& titleB)
    {
        apptest::WritePackage(*m_dir / "a.pptx", titleA);
        apptest::WritePackage(*m_dir / "b.pptx", titleB);
        Dialogs::setNextFileNames({apptest::Native(*m_dir / "a.pptx"), apptest::Native(*m_dir / "b.pptx")});
        action("actAddFile")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().rowCount(), 2);
    }

    void edit(int row, std::size_t p, const QString& text)
    {
        DocumentTableModel& model = m_window->model();
        QVERIFY(model.setData(model.index(row, static_cast<int>(p) + engine::kFirstPropertyColumn), text,
                              Qt::EditRole));
    }

private slots:

    void listsExactTextsGroupedByFileAndFiltered()
    {
        addTwo("  Old A  ", "Old B");
        edit(0, kTitle, QStringLiteral(" New A\n  second line "));
        edit(0, kCompany, QStringLiteral("Acme\t"));
        edit(1, kTitle, QStringLiteral("New B "));
        const int steps = m_window->undoStack()->count();
        bool shown = false;
        WhenReviewed(
            [](ReviewChangesDialog& dialog) {
                QAbstractItemModel& model = *dialog.findChild<QTableView*>("tvChanges")->model();
                QAbstractItemModelTester tester(&model);
                QCOMPARE(model.rowCount(), 3);
                QCOMPARE(Row(model, 0),
                         (QStringList{"a.pptx", "Title", "  Old A  ", " New A\u23CE  second line "}));
                QCOMPARE(Cell(model, 0, PendingChangesModel::NewColumn, Qt::ToolTipRole),
                         QStringLiteral(" New A\n  second line "));
                QCOMPARE(Row(model, 1), (QStringList{"", "Company", "", "Acme\t"}));
                QCOMPARE(Row(model, 2), (QStringList{"b.pptx", "Title", "Old B", "New B "}));

                auto* filter = dialog.findChild<QComboBox*>("cbPropertyFilter");
                QStringList items;
                for (int i = 0; i < filter->count(); ++i) {
                    items << filter->itemText(i);
                }
                QCOMPARE(items, (QStringList{"All properties", "Title", "Company"}));
                filter->setCurrentIndex(1);
                QCOMPARE(model.rowCount(), 2);
                // Each file's name heads its first shown row.
                QCOMPARE(Cell(model, 0, 0), QStringLiteral("a.pptx"));
                QCOMPARE(Cell(model, 1, 0), QStringLiteral("b.pptx"));
                filter->setCurrentIndex(2);
                QCOMPARE(Row(model, 0), (QStringList{"a.pptx", "Company", "", "Acme\t"}));
            },
            Press::Close, &shown);
        QTest::keySequence(m_window.get(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QVERIFY(shown);
        // Closing with every row checked changes nothing.
        QCOMPARE(m_window->undoStack()->count(), steps);
        QVERIFY(m_window->model().documents().RecordAt(1).Changed(kTitle));
    }

    // A save may break a signature, so the review says which packages are signed before it.
    void signedPackagesAreMarked()
    {
        testsupport::OfficePackage("pptx", testsupport::CoreXml("<dc:title>Signed</dc:title>"),
                                   testsupport::AppXml(""), "", true)
            .WriteTo(*m_dir / "signed.pptx");
        apptest::WritePackage(*m_dir / "plain.pptx", "Plain");
        Dialogs::setNextFileNames(
            {apptest::Native(*m_dir / "signed.pptx"), apptest::Native(*m_dir / "plain.pptx")});
        action("actAddFile")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        edit(0, kTitle, QStringLiteral("New signed"));
        edit(0, kCompany, QStringLiteral("Acme"));
        edit(1, kTitle, QStringLiteral("New plain"));
        bool shown = false;
        const QString signedPath = apptest::Native(*m_dir / "signed.pptx");
        const QString plainPath = apptest::Native(*m_dir / "plain.pptx");
        WhenReviewed(
            [signedPath, plainPath](ReviewChangesDialog& dialog) {
                const PendingChangesModel& model = dialog.changes();
                QCOMPARE(model.rowCount(), 3);
                for (int row = 0; row < 2; ++row) {
                    QVERIFY(model.index(row, 0).data(Qt::DecorationRole).isValid());
                    QCOMPARE(Cell(model, row, 0, Qt::ToolTipRole),
                             signedPath + QStringLiteral(": ") +
                                 QString::fromUtf8(engine::kSignatureWarning.data()));
                }
                QVERIFY(!model.index(2, 0).data(Qt::DecorationRole).isValid());
                QCOMPARE(Cell(model, 2, 0, Qt::ToolTipRole), plainPath);
                const auto* hint = dialog.findChild<QLabel*>("lblReviewHint");
                QVERIFY(hint != nullptr);
                QVERIFY2(hint->text().contains(QStringLiteral("1 marked")), qPrintable(hint->text()));
            },
            Press::Close, &shown);
        action("actReviewChanges")->trigger();
        QVERIFY(shown);
    }

    void uncheckedChangesAreTakenBackAsOneStep()
    {
        addTwo("Old A", "Old B");
        edit(0, kTitle, QStringLiteral("New A"));
        edit(0, kCompany, QStringLiteral("Acme"));
        edit(1, kTitle, QStringLiteral("New B"));
        engine::DocumentRecord& a = m_window->model().documents().RecordAt(0);
        engine::DocumentRecord& b = m_window->model().documents().RecordAt(1);
        engine::SetCustomProperty(b, "Client", engine::CustomKind::Text, "Contoso");
        const engine::DocumentRecord aBefore = a;
        const engine::DocumentRecord bBefore = b;
        const std::string fileA = testsupport::ReadFileBytes(*m_dir / "a.pptx");
        const int steps = m_window->undoStack()->count();

        WhenReviewed(
            [](ReviewChangesDialog& dialog) {
                QAbstractItemModel& model = *dialog.findChild<QTableView*>("tvChanges")->model();
                QCOMPARE(model.rowCount(), 4);
                QCOMPARE(Cell(model, 3, 1), QStringLiteral("Custom:Client"));
                Uncheck(model, 3);
                // An unchecked row stays unchecked while filtered out and back.
                auto* filter = dialog.findChild<QComboBox*>("cbPropertyFilter");
                filter->setCurrentText(QStringLiteral("Title"));
                Uncheck(model, 0);
                Uncheck(model, 1);
                filter->setCurrentIndex(0);
                QCOMPARE(model.index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
                QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
            },
            Press::Close);
        action("actReviewChanges")->trigger();

        QCOMPARE(m_window->undoStack()->count(), steps + 1);
        QCOMPARE(a.Value(kTitle), std::string("Old A"));
        QVERIFY(!a.Changed(kTitle));
        QVERIFY(a.Modified); // the company change stays
        QCOMPARE(b.Value(kTitle), std::string("Old B"));
        QVERIFY(!b.Modified);
        QVERIFY(engine::FindCustomProperty(b.Custom, "Client") == nullptr);
        QCOMPARE(testsupport::ReadFileBytes(*m_dir / "a.pptx"), fileA);

        m_window->undoStack()->undo();
        QCOMPARE(a.CoreValues, aBefore.CoreValues);
        QCOMPARE(a.CoreChanged, aBefore.CoreChanged);
        QCOMPARE(a.AppChanged, aBefore.AppChanged);
        QVERIFY(b.Modified && b.Changed(kTitle));
        QCOMPARE(b.Custom, bBefore.Custom);
        m_window->undoStack()->redo();
        QVERIFY(!b.Modified);
        QCOMPARE(a.Value(kTitle), std::string("Old A"));
    }

    void reviewBeforeSaving()
    {
        addTwo("Old A", "Old B");
        m_window->setReviewBeforeSave(true);
        edit(0, kTitle, QStringLiteral("New A"));
        edit(1, kTitle, QStringLiteral("New B"));

        // Close saves nothing, but takes back what was unchecked.
        WhenReviewed([](ReviewChangesDialog& dialog) { Uncheck(dialog.changes(), 1); }, Press::Close);
        action("actSaveAll")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(TitleOnDisk(*m_dir / "a.pptx"), std::string("Old A"));
        QVERIFY(m_window->model().documents().RecordAt(0).Modified);
        QVERIFY(!m_window->model().documents().RecordAt(1).Modified);

        // Save Checked reviews and saves the checked rows only.
        edit(1, kTitle, QStringLiteral("New B"));
        m_window->model().documents().SetCheckState(0, engine::kUnchecked);
        WhenReviewed(
            [](ReviewChangesDialog& dialog) {
                QCOMPARE(dialog.changes().rowCount(), 1);
                QCOMPARE(Cell(dialog.changes(), 0, 0), QStringLiteral("b.pptx"));
            },
            Press::Save);
        action("actSaveChecked")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(TitleOnDisk(*m_dir / "b.pptx"), std::string("New B"));
        QCOMPARE(TitleOnDisk(*m_dir / "a.pptx"), std::string("Old A"));

        WhenReviewed([](ReviewChangesDialog&) {}, Press::Save);
        action("actSaveAll")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(TitleOnDisk(*m_dir / "a.pptx"), std::string("New A"));

        // The saved text is the old side of the next change; the review's Save saves all rows.
        edit(0, kTitle, QStringLiteral("Typed"));
        WhenReviewed(
            [](ReviewChangesDialog& dialog) {
                QCOMPARE(dialog.changes().rowCount(), 1);
                QCOMPARE(Row(dialog.changes(), 0), (QStringList{"a.pptx", "Title", "New A", "Typed"}));
            },
            Press::Save);
        action("actReviewChanges")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(TitleOnDisk(*m_dir / "a.pptx"), std::string("Typed"));

        // Nothing pending: the menu command says so.
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
        action("actReviewChanges")->trigger();
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("No changes to review."));
    }
};

QTEST_MAIN(ReviewChangesTest)
#include "ReviewChangesTest.moc"
