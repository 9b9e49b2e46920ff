// The in-place editors of the document grid: which editor each column gets, what a finished edit
// stores and flags, the digit filter, the date editor, and how keys, clicks and focus end an edit.
#include "EditingTestSupport.h"
#include "ScopedTimeZone.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/PropertyDateEdit.h"
#include "editing/PropertyLineEdit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTest>
#include <QUndoStack>

using namespace editingtest;
using editing::PropertyDateEdit;
using editing::PropertyLineEdit;

namespace {

constexpr int kTitle = 3;
constexpr int kRevision = 9;
constexpr int kCreated = 11;
constexpr int kTotalTime = 17;

engine::DocumentRecord Dated(const std::string& created)
{
    engine::DocumentRecord record = Titled("dated");
    record.Value(8) = created;
    return record;
}

} // namespace

class CellEditorTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<app::TfmMain> m_window;

    app::DocumentTableModel& model() { return m_window->model(); }

    app::DocumentSortFilterModel& view() { return m_window->view(); }

    const engine::DocumentRecord& record(int row)
    {
        return model().documents().RecordAt(static_cast<std::size_t>(row));
    }

    void press(QWidget* editor, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QVERIFY(editor != nullptr);
        QTest::keyClick(editor, static_cast<Qt::Key>(key), modifiers);
    }

private slots:

    void initTestCase() { app::Dialogs::setTestMode(true); }

    void cleanup()
    {
        m_window.reset();
        app::Dialogs::takeShownMessages();
    }

    void editorKindFollowsTheColumnIndexWhereverItIsShown()
    {
        m_window = WindowWithRows({Titled("a")});
        QHeaderView* header = m_window->grid().horizontalHeader();
        for (int pass = 0; pass < 2; ++pass) {
            for (int column = 0; column < engine::kColumnCount; ++column) {
                QWidget* editor = FocusCell(*m_window, 0, column);
                const bool date = column >= 10 && column <= 12;
                const bool digits = column == kRevision || column == kTotalTime;
                if (column < 3) {
                    QVERIFY2(editor == nullptr, qPrintable(QString::number(column)));
                } else if (date) {
                    QVERIFY(qobject_cast<PropertyDateEdit*>(editor) != nullptr);
                } else {
                    auto* box = qobject_cast<PropertyLineEdit*>(editor);
                    QVERIFY(box != nullptr);
                    QCOMPARE(box->validator() != nullptr, digits);
                }
            }
            // Reverse the display order: the editors must still follow the index.
            for (int visual = 0; visual < header->count(); ++visual) {
                header->moveSection(header->count() - 1, visual);
            }
        }
        QVERIFY(!model().anyModified());
    }

    void digitFilterDropsEverythingElseTypedOrPasted_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("stored");
        QTest::newRow("typed revision") << kRevision << false << "1a 2-3.4+e"
                                        << "1234";
        QTest::newRow("pasted revision") << kRevision << true << "12abc"
                                         << "12";
        QTest::newRow("pasted total time") << kTotalTime << true << " 3,600 s\n"
                                           << "3600";
        QTest::newRow("text column keeps all") << kTitle << true << "12abc"
                                               << "12abc";
    }

    void digitFilterDropsEverythingElseTypedOrPasted()
    {
        QFETCH(int, column);
        QFETCH(bool, paste);
        QFETCH(QString, input);
        QFETCH(QString, stored);
        m_window = WindowWithRows({Titled("")});
        auto* editor = qobject_cast<PropertyLineEdit*>(FocusCell(*m_window, 0, column));
        QVERIFY(editor != nullptr);
        if (paste) {
            QGuiApplication::clipboard()->setText(input);
            press(editor, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(editor, input);
        }
        QCOMPARE(editor->text(), stored);
        press(editor, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(record(0).Value(static_cast<std::size_t>(column - 3))), stored);
        QCOMPARE(record(0).Changed(static_cast<std::size_t>(column - 3)), true);
    }

    void onlyAnExactChangeIsStoredAndFlagged()
    {
        engine::DocumentRecord raw = Titled("Deck");
        raw.Value(6) = "12abc"; // read from a package as it was
        m_window = WindowWithRows({raw});

        // Passing through unchanged cells, including a digits cell holding other text.
        press(FocusCell(*m_window, 0, kTitle), Qt::Key_Return);
        press(FocusCell(*m_window, 0, kRevision), Qt::Key_Return);
        QCOMPARE(record(0).Value(0), std::string("Deck"));
        QCOMPARE(record(0).Value(6), std::string("12abc"));
        QVERIFY(!record(0).Modified);
        QVERIFY(!record(0).Changed(0) && !record(0).Changed(6));

        // A change of letter case is a change.
        auto* editor = qobject_cast<PropertyLineEdit*>(FocusCell(*m_window, 0, kTitle));
        editor->selectAll();
        QTest::keyClicks(editor, "deck");
        press(editor, Qt::Key_Return);
        QCOMPARE(record(0).Value(0), std::string("deck"));
        QVERIFY(record(0).Changed(0));
        QVERIFY(record(0).Modified);
        QCOMPARE(model().index(0, kTitle).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        QVERIFY(model().index(0, kTitle).data(Qt::FontRole).value<QFont>().bold());
    }

    void dateEditorOpensOnTheDateAndGivesItBackUnchanged()
    {
        m_window = WindowWithRows({Dated("2009-03-05 14:07:09")});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->dateTime(), QDateTime(QDate(2009, 3, 5), QTime(14, 7, 9), Qt::UTC));
        QCOMPARE(editor->text(), QStringLiteral("2009-03-05 14:07:09"));
        QVERIFY(editor->calendarPopup());
        press(editor, Qt::Key_Return);
        QCOMPARE(record(0).Value(8), std::string("2009-03-05 14:07:09"));
        QVERIFY(!record(0).Modified);
    }

    void walkingThroughEmptyAndRawDateCellsChangesNothing()
    {
        m_window =
            WindowWithRows({Dated(""), Dated("last Tuesday"), Dated("2009-03-05T14:07:09"), Dated("")});
        QWidget* editor = FocusCell(*m_window, 0, kCreated);
        QVERIFY(qobject_cast<PropertyDateEdit*>(editor)->isBlank());
        for (int row = 0; row < 4; ++row) {
            editor = EditorAt(*m_window, row, kCreated);
            QVERIFY2(editor != nullptr, qPrintable(QString::number(row)));
            press(editor, row % 2 == 0 ? Qt::Key_Return : Qt::Key_Down);
        }
        QVERIFY(!model().anyModified());
        QCOMPARE(record(1).Value(8), std::string("last Tuesday"));
        QCOMPARE(record(2).Value(8), std::string("2009-03-05T14:07:09"));
        QVERIFY(record(0).Value(8).empty());
    }

    void pickingADateInAnEmptyCellStoresIt()
    {
        m_window = WindowWithRows({Dated("")});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QVERIFY(editor->isBlank());
        editor->calendarWidget()->setSelectedDate(QDate(2021, 6, 1));
        press(editor, Qt::Key_Return);
        const std::string stored = record(0).Value(8);
        QCOMPARE(stored.size(), std::size_t{19});
        QCOMPARE(stored.substr(0, 11), std::string("2021-06-01 "));
        QVERIFY(record(0).Changed(8));
    }

    void typedDateAndTimeAreStoredExactly_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("typed");
        const QString full = QStringLiteral("2020-05-06 07:08:09");
        QTest::newRow("empty cell") << "" << false << full;
        QTest::newRow("dated cell, all selected") << "2009-03-05 14:07:09" << true << full;
        QTest::newRow("dated cell, as opened") << "2009-03-05 14:07:09" << false << full;
        QTest::newRow("short fields") << "2009-03-05 14:07:09" << true << "2020-5-6 7:8:9";
        QTest::newRow("no separators") << "" << false << "20200506070809";
        // On the way the form passes 2020-02-31, which is no date.
        QTest::newRow("through a day the month lacks")
            << "2009-01-31 14:07:09" << true << "2020-02-28 07:08:09";
    }

    // Each separator is typed as the box shows it, also where a full field could move on by itself.
    void typedDateAndTimeAreStoredExactly()
    {
        QFETCH(QString, opened);
        QFETCH(bool, selectAll);
        QFETCH(QString, typed);
        m_window = WindowWithRows({Dated(opened.toStdString())});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QVERIFY(editor != nullptr);
        if (selectAll) {
            editor->selectAll();
        }
        QTest::keyClicks(editor, typed);
        const QString expected =
            typed.startsWith(QStringLiteral("2020-02")) ? typed : QStringLiteral("2020-05-06 07:08:09");
        QCOMPARE(editor->text(), expected);
        press(editor, Qt::Key_Return);
        QCOMPARE(record(0).Value(8), expected.toStdString());
        QVERIFY(record(0).Changed(8));
    }

    // The date box takes any wall-clock time; one the local clocks skip is refused by name, in a
    // box opened after the edit, and the cell keeps its value.
    void aSkippedLocalTimeIsRefusedWithAMessage()
    {
        const engine::ScopedTimeZone zone("Europe/Berlin");
        m_window = WindowWithRows({Dated("2024-03-30 10:00:00")});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, "2024-03-31 02:30:00");
        press(editor, Qt::Key_Return);
        QCOMPARE(record(0).Value(8), std::string("2024-03-30 10:00:00"));
        QVERIFY(!record(0).Modified);
        QList<app::Dialogs::Message> shown;
        QTRY_VERIFY(!(shown += app::Dialogs::takeShownMessages()).isEmpty());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text,
                 QStringLiteral("CreatedTime: \"2024-03-31 02:30:00\" does not exist in the local time zone: "
                                "the clocks skip it when daylight saving time starts."));
    }

    void deleteOrBackspaceOnTheWholeDateClearsIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("selectAll");
        QTest::newRow("all selected, backspace") << int(Qt::Key_Backspace) << true;
        QTest::newRow("all selected, delete") << int(Qt::Key_Delete) << true;
        // A text kept as stored shows blank: the key clears that text.
        QTest::newRow("blank box, delete") << int(Qt::Key_Delete) << false;
    }

    // Clearing is a change like any other: staged, flagged, and undone by Undo.
    void deleteOrBackspaceOnTheWholeDateClearsIt()
    {
        QFETCH(int, key);
        QFETCH(bool, selectAll);
        const std::string old = selectAll ? "2009-03-05 14:07:09" : "last Tuesday";
        m_window = WindowWithRows({Dated(old)});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QVERIFY(editor != nullptr);
        QTRY_VERIFY(editor->hasFocus());
        if (selectAll) {
            press(editor, Qt::Key_A, Qt::ControlModifier);
        }
        press(editor, key);
        QVERIFY(editor->isBlank());
        press(editor, Qt::Key_Tab);
        QVERIFY(EditorAt(*m_window, 0, kCreated) == nullptr);
        QVERIFY(record(0).Value(8).empty());
        QVERIFY(record(0).Changed(8));
        QVERIFY(model().index(0, kCreated).data().toString().isEmpty());
        QVERIFY(model().anyModified());
        m_window->undoStack()->undo();
        QCOMPARE(record(0).Value(8), old);
        QVERIFY(!model().anyModified());
    }

    void enterUpAndDownWalkAColumnAndStopAtTheEnds()
    {
        m_window = WindowWithRows({Titled("a"), Titled("b"), Titled("c")});
        app::DocumentGrid& grid = m_window->grid();
        press(FocusCell(*m_window, 1, kTitle), Qt::Key_Down);
        QCOMPARE(grid.currentIndex(), view().index(2, kTitle));
        press(EditorAt(*m_window, 2, kTitle), Qt::Key_Up);
        press(EditorAt(*m_window, 1, kTitle), Qt::Key_Up);
        QCOMPARE(grid.currentIndex(), view().index(0, kTitle));
        QVERIFY(grid.selectionModel()->isRowSelected(0, {}));
        press(EditorAt(*m_window, 0, kTitle), Qt::Key_Up);
        QVERIFY(!grid.currentIndex().isValid());
        QVERIFY(EditorAt(*m_window, 0, kTitle) == nullptr);

        press(FocusCell(*m_window, 2, kTitle), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!grid.currentIndex().isValid());
        QVERIFY(!model().anyModified());
    }

    void modifiersAndEscapeLeaveTheEditOpen_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("shift+enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier);
        QTest::newRow("ctrl+down") << int(Qt::Key_Down) << int(Qt::ControlModifier);
        QTest::newRow("alt+up") << int(Qt::Key_Up) << int(Qt::AltModifier);
        QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    }

    void modifiersAndEscapeLeaveTheEditOpen()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        m_window = WindowWithRows({Titled("a"), Titled("b"), Titled("c")});
        auto* editor = qobject_cast<PropertyLineEdit*>(FocusCell(*m_window, 1, kTitle));
        QTest::keyClicks(editor, "x");
        press(editor, key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(EditorAt(*m_window, 1, kTitle), editor);
        QCOMPARE(m_window->grid().currentIndex(), view().index(1, kTitle));
        QCOMPARE(editor->text(), QStringLiteral("x")); // an opening editor selects its text
        QVERIFY(!model().anyModified());
    }

    void focusLossFinishesAndKeepsTheValue()
    {
        m_window = WindowWithRows({Titled("a")});
        auto* elsewhere = new QLineEdit(m_window.get());
        elsewhere->show();
        auto* editor = qobject_cast<PropertyLineEdit*>(FocusCell(*m_window, 0, kTitle));
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, "b");
        elsewhere->setFocus();
        QTRY_COMPARE(record(0).Value(0), std::string("b"));
        QVERIFY(EditorAt(*m_window, 0, kTitle) == nullptr);
    }

    void calendarOpenKeepsKeysAndFocusWithTheEditor_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on the drop-down arrow at the right end
        QTest::addColumn<int>("modifiers");
        QTest::newRow("click") << 0 << int(Qt::NoModifier);
        QTest::newRow("alt+down") << int(Qt::Key_Down) << int(Qt::AltModifier);
        QTest::newRow("f4") << int(Qt::Key_F4) << int(Qt::NoModifier);
    }

    void calendarOpenKeepsKeysAndFocusWithTheEditor()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        m_window = WindowWithRows({Dated("2009-03-05 14:07:09"), Dated("")});
        auto* editor = qobject_cast<PropertyDateEdit*>(FocusCell(*m_window, 0, kCreated));
        QTRY_VERIFY(editor->hasFocus());
        if (key == 0) {
            QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(editor->width() - 4, editor->height() / 2));
        } else {
            press(editor, key, Qt::KeyboardModifiers(modifiers));
        }
        QTRY_VERIFY(editor->isPopupOpen());
        // Focus went to the calendar, and Enter there picks a day instead of walking the column.
        QWidget* calendar = QApplication::focusWidget();
        QVERIFY(editor->calendarWidget()->isAncestorOf(calendar));
        QTest::keyClick(calendar, Qt::Key_Right);
        QTest::keyClick(calendar, Qt::Key_Return);
        QTRY_VERIFY(!editor->isPopupOpen());
        QCOMPARE(EditorAt(*m_window, 0, kCreated), editor);
        QCOMPARE(m_window->grid().currentIndex(), view().index(0, kCreated));
        press(editor, Qt::Key_Return);
        QCOMPARE(record(0).Value(8), std::string("2009-03-06 14:07:09"));
    }

    void rightClickOpensNoEditorButALeftClickDoes()
    {
        m_window = WindowWithRows({Titled("a"), Titled("b")});
        app::DocumentGrid& grid = m_window->grid();
        const QRect cell = grid.visualRect(view().index(1, kTitle));
        QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, cell.center());
        QCOMPARE(grid.currentIndex(), view().index(1, kTitle));
        QVERIFY(EditorAt(*m_window, 1, kTitle) == nullptr);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(view().index(0, kTitle)).center());
        QVERIFY(EditorAt(*m_window, 0, kTitle) != nullptr);
    }

    void typeAheadSearchOpensNoEditor()
    {
        m_window = WindowWithRows({Titled("a"), Titled("b")});
        app::DocumentGrid& grid = m_window->grid();
        FocusCell(*m_window, 0, kTitle);
        grid.commitOpenEditor();
        grid.keyboardSearch(QStringLiteral("b"));
        QCOMPARE(grid.currentIndex(), view().index(1, kTitle));
        QVERIFY(EditorAt(*m_window, 1, kTitle) == nullptr);
    }

    void editorCoversExactlyItsCell()
    {
        m_window = WindowWithRows({Titled(std::string(300, 'W')), Dated("2009-03-05 14:07:09")});
        for (const QModelIndex& index : {view().index(0, kTitle), view().index(1, kCreated)}) {
            QWidget* editor = FocusCell(*m_window, index.row(), index.column());
            QVERIFY(editor != nullptr);
            QCOMPARE(editor->geometry(), m_window->grid().visualRect(index));
        }
    }
};

QTEST_MAIN(CellEditorTest)
#include "CellEditorTest.moc"
