// Import and Fill from Pattern in the window: the previews, and the one undoable step each stages.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentTableModel.h"
#include "app/dialogs/FillPatternDialog.h"
#include "app/dialogs/ImportDialog.h"
#include "app/window/TfmMain.h"
#include "engine/record/CustomProperties.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QUndoStack>

using namespace app;
using apptest::Native;
using apptest::WhenShown;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTitle = 0;
constexpr std::size_t kCreatedTime = 8;
constexpr std::size_t kCategory = 10;
constexpr std::size_t kCompany = 15;

QString TextOf(QDialog& dialog, const char* name)
{
    const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("no label %1").arg(QLatin1String(name));
}

bool ApplyEnabled(QDialog& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("btnApply"))->isEnabled();
}

// A failed check returns from a dialog's handler; the dialog is then closed, so that the test goes on.
[[nodiscard]] auto ClosedOnReturn(QDialog& dialog)
{
    return qScopeGuard([&dialog] {
        if (dialog.isVisible()) {
            dialog.reject();
        }
    });
}

// The rows of a preview's list of changes (File, Property, Old, New), cells joined by '|'.
QStringList ChangeRows(QDialog& dialog)
{
    const auto* view = dialog.findChild<QTableView*>(QStringLiteral("tvChanges"));
    if (view == nullptr) {
        return {QStringLiteral("no list of changes")};
    }
    const QAbstractItemModel& model = *view->model();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column) {
            cells << model.index(row, column).data().toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList ProblemLines(QDialog& dialog)
{
    const auto* problems = dialog.findChild<QListWidget*>(QStringLiteral("lstProblems"));
    QStringList lines;
    for (int i = 0; problems != nullptr && i < problems->count(); ++i) {
        lines << problems->item(i)->text();
    }
    return lines;
}

} // namespace

class ImportFillTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    void addPackages(const std::vector<std::pair<std::string, std::string>>& namesAndTitles)
    {
        QStringList files;
        for (const auto& [name, title] : namesAndTitles) {
            fs::create_directories((*m_dir / name).parent_path());
            apptest::WritePackage(*m_dir / name, title, "Acme");
            files << Native(*m_dir / name);
        }
        Dialogs::setNextFileNames(files);
        m_window->findChild<QAction*>(QStringLiteral("actAddFile"))->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().documents().RowCount(), namesAndTitles.size());
    }

    const engine::DocumentRecord& record(std::size_t row) const
    {
        return m_window->model().documents().RecordAt(row);
    }

private slots:

    void importPreviewsCountsAndStagesOneStep()
    {
        addPackages({{"a.pptx", "Alpha"}, {"b.pptx", "Beta"}});
        auto& model = m_window->model();
        // A change staged before the import must survive its undo.
        QVERIFY(model.setData(model.index(1, engine::kFirstPropertyColumn + int(kCompany)),
                              QStringLiteral("Edited"), Qt::EditRole));
        QVERIFY(record(1).Changed(kCompany));
        const int stepsBefore = m_window->undoStack()->count();
        const std::string fileBefore = testsupport::ReadFileBytes(*m_dir / "a.pptx");
        testsupport::WriteFileBytes(*m_dir / "table.csv", "FullPath,Title,Company,CreatedTime,Notes\r\n"
                                                          "a.pptx,Alpha,NewCo,2021-03-04,x\r\n"
                                                          "b.pptx,Beta 2,,31/02/2020,\r\n"
                                                          "missing.pptx,X,,,\r\n");
        Dialogs::setNextFileNames({Native(*m_dir / "table.csv")});
        WhenShown<ImportDialog>([](ImportDialog& dialog) {
            const auto closed = ClosedOnReturn(dialog);
            // A column that names no property blocks the table until such columns are left out.
            QVERIFY(!ApplyEnabled(dialog));
            QVERIFY(TextOf(dialog, "lblBlocked").contains(QStringLiteral("unknown column \"Notes\"")));
            dialog.findChild<QCheckBox*>(QStringLiteral("cbIgnoreUnknownColumns"))->setChecked(true);
            const QString counts = TextOf(dialog, "lblCounts");
            QVERIFY2(counts.contains(QStringLiteral("Rows matched: 2")), qPrintable(counts));
            QVERIFY2(counts.contains(QStringLiteral("Unmatched: 1")), qPrintable(counts));
            QVERIFY2(counts.contains(QStringLiteral("Invalid cells: 1")), qPrintable(counts));
            const QString all = ProblemLines(dialog).join(QLatin1Char('\n'));
            QVERIFY2(all.contains(QStringLiteral("table.csv:3: CreatedTime")), qPrintable(all));
            QVERIFY2(all.contains(QStringLiteral("no package at missing.pptx")), qPrintable(all));
            QVERIFY2(all.contains(QStringLiteral("\"Notes\"")), qPrintable(all));
            // An invalid cell blocks the whole table until it is skipped.
            QVERIFY(!ApplyEnabled(dialog));
            QVERIFY(!TextOf(dialog, "lblBlocked").isEmpty());
            QCOMPARE(ChangeRows(dialog), QStringList());
            QAbstractItemModelTester tester(dialog.findChild<QTableView*>("tvChanges")->model());
            dialog.findChild<QCheckBox*>(QStringLiteral("cbSkipInvalid"))->setChecked(true);
            QVERIFY(ApplyEnabled(dialog));
            // Alpha is what a.pptx holds, so its title is not listed; a date reads as the grid shows it.
            QCOMPARE(ChangeRows(dialog),
                     (QStringList{"a.pptx|Company|Acme|NewCo", "|CreatedTime||2021-03-04 00:00:00",
                                  "b.pptx|Title|Beta|Beta 2"}));
            QVERIFY2(TextOf(dialog, "lblCounts").contains(QStringLiteral("Values to change: 3")),
                     qPrintable(TextOf(dialog, "lblCounts")));
            const auto companyOfB = [&dialog] {
                for (const engine::PlannedRecord& planned : dialog.plannedRecords()) {
                    for (const engine::StagedText& value : planned.Changes.Values) {
                        if (planned.Record == 1 && value.Property == kCompany) {
                            return true;
                        }
                    }
                }
                return false;
            };
            QVERIFY(!companyOfB());
            dialog.findChild<QCheckBox*>(QStringLiteral("cbEmptyClears"))->setChecked(true);
            QVERIFY(companyOfB()); // the empty cell now clears
            // The old side is what the row shows now, its pending edit included.
            QCOMPARE(ChangeRows(dialog).value(3), QStringLiteral("|Company|Edited|"));
            dialog.findChild<QCheckBox*>(QStringLiteral("cbEmptyClears"))->setChecked(false);
            dialog.findChild<QPushButton*>(QStringLiteral("btnApply"))->click();
        });
        m_window->findChild<QAction*>(QStringLiteral("actImport"))->trigger();
        QVERIFY(Dialogs::takeShownMessages().isEmpty());

        QCOMPARE(m_window->undoStack()->count(), stepsBefore + 1);
        QCOMPARE(record(0).Value(kCompany), std::string("NewCo"));
        QVERIFY(record(0).Changed(kCompany));
        QVERIFY(!record(0).Changed(kTitle)); // the same text: no changed mark
        QCOMPARE(record(1).Value(kTitle), std::string("Beta 2"));
        QCOMPARE(record(1).Value(kCompany), std::string("Edited"));
        QVERIFY(!record(1).Changed(kCreatedTime));
        QCOMPARE(testsupport::ReadFileBytes(*m_dir / "a.pptx"), fileBefore); // nothing written

        m_window->undoStack()->undo();
        QCOMPARE(record(0).Value(kCompany), std::string("Acme"));
        QVERIFY(!record(0).Changed(kCompany));
        QVERIFY(!record(0).Modified);
        QCOMPARE(record(1).Value(kTitle), std::string("Beta"));
        QVERIFY(!record(1).Changed(kTitle));
        QVERIFY(record(1).Changed(kCompany));
        QVERIFY(record(1).Modified);
    }

    void importByFileNameNeedsUniqueNames()
    {
        addPackages({{"one/deck.pptx", "One"}, {"two/deck.pptx", "Two"}});
        testsupport::WriteFileBytes(*m_dir / "names.csv", "FileName,Title\ndeck.pptx,Both\n");
        Dialogs::setNextFileNames({Native(*m_dir / "names.csv")});
        WhenShown<ImportDialog>([](ImportDialog& dialog) {
            QVERIFY(!ApplyEnabled(dialog));
            QVERIFY(TextOf(dialog, "lblBlocked").contains(QStringLiteral("more than one package")));
            dialog.reject();
        });
        m_window->findChild<QAction*>(QStringLiteral("actImport"))->trigger();
        QCOMPARE(m_window->undoStack()->count(), 0);
    }

    // A custom column beside the core one of the same name: both staged, as one step of Undo.
    void importStagesCustomColumnsInTheSameStep()
    {
        addPackages({{"a.pptx", "Alpha"}});
        testsupport::WriteFileBytes(*m_dir / "t.csv",
                                    "FullPath,Category,Custom:Category\na.pptx,core,mine\n");
        Dialogs::setNextFileNames({Native(*m_dir / "t.csv")});
        WhenShown<ImportDialog>([](ImportDialog& dialog) {
            const auto closed = ClosedOnReturn(dialog);
            QVERIFY2(TextOf(dialog, "lblCounts").contains(QStringLiteral("Values to change: 2")),
                     qPrintable(TextOf(dialog, "lblCounts")));
            // The custom property is named as the grid captions its column.
            QCOMPARE(ChangeRows(dialog), (QStringList{"a.pptx|Category||core", "|Custom:Category||mine"}));
            // A preview, not a review: nothing in it can be unchecked.
            const QAbstractItemModel& changes = *dialog.findChild<QTableView*>("tvChanges")->model();
            QVERIFY(!(changes.flags(changes.index(0, 0)) & Qt::ItemIsUserCheckable));
            QVERIFY(!changes.index(0, 0).data(Qt::CheckStateRole).isValid());
            dialog.findChild<QPushButton*>(QStringLiteral("btnApply"))->click();
        });
        m_window->findChild<QAction*>(QStringLiteral("actImport"))->trigger();
        QCOMPARE(m_window->undoStack()->count(), 1);
        QCOMPARE(record(0).Value(kCategory), std::string("core"));
        const engine::CustomProperty* custom = engine::FindCustomProperty(record(0).Custom, "Category");
        QVERIFY(custom != nullptr);
        QCOMPARE(custom->Value, std::string("mine"));
        QCOMPARE(custom->Type, std::string("vt:lpwstr"));
        m_window->undoStack()->undo();
        QVERIFY(engine::FindCustomProperty(record(0).Custom, "Category") == nullptr);
        QCOMPARE(record(0).Value(kCategory), std::string(""));
    }

    void fillPreviewsCheckedRowsAndStagesOneStep()
    {
        addPackages({{"2024 - Plan.pptx", "Old"}, {"2023 - Review.pptx", "Old"}, {"notes.pptx", "Old"}});
        auto& model = m_window->model();
        model.documents().SetCheckState(0, engine::kChecked);
        model.documents().SetCheckState(1, engine::kUnchecked);
        model.documents().SetCheckState(2, engine::kChecked);
        WhenShown<FillPatternDialog>([](FillPatternDialog& dialog) {
            const auto closed = ClosedOnReturn(dialog);
            auto* pattern = dialog.findChild<QLineEdit*>(QStringLiteral("edPattern"));
            auto* match = dialog.findChild<QLineEdit*>(QStringLiteral("edMatch"));
            auto* property = dialog.findChild<QComboBox*>(QStringLiteral("cbProperty"));
            const auto rejected = [&](const QString& text, const QString& regex, const char* error) {
                pattern->setText(text);
                match->setText(regex);
                QVERIFY2(!ApplyEnabled(dialog), error);
                QVERIFY2(TextOf(dialog, "lblError").contains(QLatin1String(error)),
                         qPrintable(TextOf(dialog, "lblError")));
            };
            rejected(QStringLiteral("{bogus}"), {}, "bogus");
            rejected(QStringLiteral("{2} ({1})"), {}, "give a file name expression");
            rejected(QStringLiteral("{2}"), QStringLiteral("(\\d+"), "cannot be read");
            property->setCurrentIndex(int(kCreatedTime));
            rejected(QStringLiteral("{stem}"), {}, "No checked row can be filled");

            property->setCurrentIndex(int(kTitle));
            // A value the row already holds is no change.
            pattern->setText(QStringLiteral("Old"));
            QCOMPARE(ChangeRows(dialog), QStringList());
            QVERIFY2(TextOf(dialog, "lblCounts").contains(QStringLiteral("Values to change: 0")),
                     qPrintable(TextOf(dialog, "lblCounts")));

            pattern->setText(QStringLiteral("{2} ({1})"));
            match->setText(QStringLiteral("(\\d+) - (.*)\\.pptx"));
            QVERIFY(ApplyEnabled(dialog));
            // The checked rows only; the one left alone says why.
            QCOMPARE(ChangeRows(dialog), (QStringList{"2024 - Plan.pptx|Title|Old|Plan (2024)"}));
            const QString problems = ProblemLines(dialog).join(QLatin1Char('\n'));
            QVERIFY2(problems.contains(QStringLiteral("notes.pptx: the file name does not match")),
                     qPrintable(problems));
            QVERIFY2(TextOf(dialog, "lblCounts").contains(QStringLiteral("Values to change: 1")),
                     qPrintable(TextOf(dialog, "lblCounts")));
            QVERIFY(TextOf(dialog, "lblError").contains(QStringLiteral("1 of 2")));
            dialog.findChild<QPushButton*>(QStringLiteral("btnApply"))->click();
        });
        m_window->findChild<QAction*>(QStringLiteral("actFillPattern"))->trigger();

        QCOMPARE(m_window->undoStack()->count(), 1);
        QCOMPARE(record(0).Value(kTitle), std::string("Plan (2024)"));
        QVERIFY(record(0).Changed(kTitle));
        QCOMPARE(record(1).Value(kTitle), std::string("Old"));
        QCOMPARE(record(2).Value(kTitle), std::string("Old"));
        QVERIFY(!record(2).Modified);
        m_window->undoStack()->undo();
        QCOMPARE(record(0).Value(kTitle), std::string("Old"));
        QVERIFY(!record(0).Changed(kTitle));
        QVERIFY(!record(0).Modified);
    }
};

QTEST_MAIN(ImportFillTest)
#include "ImportFillTest.moc"
