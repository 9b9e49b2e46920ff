// The Batch Modify dialog: its captions, sizes and tab order, which rows an edit checks, and what
// the two apply buttons change, as one undoable step.
#include "AppTestSupport.h"
#include "EditingTestSupport.h"
#include "ScopedTimeZone.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/BatchListModel.h"
#include "editing/FocusEditView.h"
#include "editing/PropertyDateEdit.h"
#include "editing/PropertyLineEdit.h"
#include "editing/RecordEdits.h"
#include "editing/TfmModify.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

using namespace editingtest;
using editing::TfmModify;

namespace {

struct ButtonPlace
{
    const char* name;
    const char* caption;
    QRect geometry;
};

const ButtonPlace kButtons[] = {
    {"btnCheckAll", "Check All", {339, 21, 75, 25}},
    {"btnUncheckAll", "Uncheck All", {339, 63, 75, 25}},
    {"btnAll", "Appy to all file", {339, 241, 75, 65}},
    {"btnChecked", "Appy to all checked file", {339, 311, 75, 65}},
    {"btnClose", "Close", {339, 395, 75, 25}},
};

} // namespace

class BatchModifyTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<app::TfmMain> m_window;
    std::unique_ptr<editing::RecordEdits> m_edits;
    std::unique_ptr<TfmModify> m_dialog;

    // A window with three documents (the middle one unchecked) and the dialog shown over it.
    void openDialog(std::vector<engine::DocumentRecord> records = {Titled("a"), Titled("b"), Titled("c")})
    {
        m_window = WindowWithRows(records);
        if (m_window->model().documents().RowCount() > 1) {
            m_window->model().documents().SetCheckState(1, engine::kUnchecked);
        }
        m_edits = std::make_unique<editing::RecordEdits>(m_window->model(), *m_window->undoStack());
        m_dialog = std::make_unique<TfmModify>(*m_edits, m_window.get());
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }

    editing::FocusEditView& list()
    {
        return *m_dialog->findChild<editing::FocusEditView*>(QStringLiteral("VT"));
    }

    // Selects a row of the list; its value editor opens.
    QWidget* selectRow(int row)
    {
        const QModelIndex value = m_dialog->list().index(row, 1);
        if (QWidget* open = list().indexWidget(value)) {
            return open;
        }
        list().setFocus();
        if (list().currentIndex().row() == row) {
            list().edit(value);
        } else {
            list().setCurrentIndex(m_dialog->list().index(row, 0));
        }
        return list().indexWidget(value);
    }

    void typeInto(int row, const QString& text)
    {
        auto* editor = qobject_cast<editing::PropertyLineEdit*>(selectRow(row));
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, text);
    }

    void click(const char* name) { m_dialog->findChild<QPushButton*>(QString::fromLatin1(name))->click(); }

    const engine::DocumentRecord& record(int row)
    {
        return m_window->model().documents().RecordAt(static_cast<std::size_t>(row));
    }

private slots:

    void initTestCase() { app::Dialogs::setTestMode(true); }

    void cleanup()
    {
        app::Dialogs::takeShownMessages();
        m_dialog.reset();
        m_edits.reset();
        m_window.reset();
    }

    void showsTheCatalogueWithItsCaptionsSizesAndTabOrder()
    {
        openDialog();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Batch Modify Metadata Information"));
        QCOMPARE(m_dialog->size(), QSize(424, 437));
        QCOMPARE(m_dialog->minimumSize(), m_dialog->maximumSize());
        QCOMPARE(list().parentWidget()->geometry(), QRect(9, 9, 321, 417));
        const editing::BatchListModel& model = m_dialog->list();
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Metadata Item"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Matadata Value"));
        QCOMPARE(list().columnWidth(0), 120);
        QCOMPARE(list().columnWidth(1), 190);
        QCOMPARE(list().rowHeight(0), 23);
        QCOMPARE(model.index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(239, 243, 255));
        QCOMPARE(model.rowCount(), 17);
        for (int row = 0; row < 17; ++row) {
            QCOMPARE(model.index(row, 0).data().toString().toStdString(),
                     std::string(engine::DisplayName(static_cast<std::size_t>(row))));
            QVERIFY(model.index(row, 1).data().toString().isEmpty());
            QCOMPARE(model.index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        }
        for (const ButtonPlace& place : kButtons) {
            auto* button = m_dialog->findChild<QPushButton*>(QString::fromLatin1(place.name));
            QVERIFY2(button != nullptr, place.name);
            QCOMPARE(button->text(), QString::fromLatin1(place.caption));
            QCOMPARE(button->geometry(), place.geometry);
        }
        // Tab order: the list, Check All, Uncheck All, to all checked, to all, Close.
        QStringList order;
        QWidget* widget = &list();
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(m_dialog.get()) &&
                m_dialog->isAncestorOf(widget) && widget->parentWidget() != list().viewport()) {
                order << widget->objectName();
            }
            widget = widget->nextInFocusChain();
        } while (widget != &list());
        QCOMPARE(order,
                 (QStringList{"VT", "btnCheckAll", "btnUncheckAll", "btnChecked", "btnAll", "btnClose"}));
        // Tab in a value editor leaves the list for the first button.
        QWidget* editor = selectRow(2);
        QVERIFY(editor != nullptr);
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_dialog->findChild<QWidget*>(QStringLiteral("btnCheckAll")));
    }

    void onlyAChangedValueChecksItsRow()
    {
        openDialog();
        typeInto(0, "New title");
        QTest::keyClick(list().indexWidget(m_dialog->list().index(0, 1)), Qt::Key_Return);
        // Enter opened Subject's editor; passing it on does not check it.
        QWidget* subject = list().indexWidget(m_dialog->list().index(1, 1));
        QVERIFY(subject != nullptr);
        QTest::keyClick(subject, Qt::Key_Return);
        QWidget* creator = list().indexWidget(m_dialog->list().index(2, 1));
        QVERIFY(creator != nullptr);
        QTest::keyClicks(creator, "x");
        QTest::keyClick(creator, Qt::Key_Backspace);
        QTest::keyClick(creator, Qt::Key_Up);
        const editing::BatchValues values = m_dialog->list().checkedValues();
        QCOMPARE(values.size(), std::size_t{1});
        QCOMPARE(values[0].Property, std::size_t{0});
        QCOMPARE(values[0].Value, std::string("New title"));
    }

    void dateAndDigitRowsUseTheirEditors()
    {
        openDialog();
        auto* date = qobject_cast<editing::PropertyDateEdit*>(selectRow(8));
        QVERIFY(date != nullptr);
        QVERIFY(date->isBlank());
        QTest::keyClick(date, Qt::Key_Down); // walking on leaves the row unchecked
        QCOMPARE(m_dialog->list().anyChecked(), false);
        date = qobject_cast<editing::PropertyDateEdit*>(selectRow(8));
        date->calendarWidget()->setSelectedDate(QDate(2022, 2, 3));
        typeInto(6, "4a2");
        QCOMPARE(m_dialog->list().item(8).ItemValue.substr(0, 11), std::string("2022-02-03 "));
        QCOMPARE(m_dialog->list().item(8).ItemValue.size(), std::size_t{19});
        m_dialog->btnAllClick();
        QCOMPARE(record(0).Value(6), std::string("42"));
        QCOMPARE(record(2).Value(8).substr(0, 10), std::string("2022-02-03"));
    }

    void applyButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("checkInDialog");
        QTest::addColumn<bool>("anyDocumentChecked");
        QTest::addColumn<QString>("changedRows"); // which documents get the title; "" = none
        QTest::newRow("to all") << "btnAll" << true << true << "abc";
        QTest::newRow("to all, none checked") << "btnAll" << true << false << "abc";
        QTest::newRow("to checked") << "btnChecked" << true << true << "ac";
        QTest::newRow("to checked, no document checked") << "btnChecked" << true << false << "";
        QTest::newRow("to all, nothing in dialog") << "btnAll" << false << true << "";
        QTest::newRow("to checked, nothing in dialog") << "btnChecked" << false << true << "";
    }

    void applyButtons()
    {
        QFETCH(QString, button);
        QFETCH(bool, checkInDialog);
        QFETCH(bool, anyDocumentChecked);
        QFETCH(QString, changedRows);
        openDialog();
        if (!anyDocumentChecked) {
            m_window->model().setAllCheckStates(engine::kUnchecked);
        }
        if (checkInDialog) {
            typeInto(0, "Applied");
        }
        click(button.toLatin1().constData());
        const bool applied = !changedRows.isEmpty();
        QCOMPARE(m_dialog->isVisible(), !applied);
        QCOMPARE(m_window->undoStack()->count(), applied ? 1 : 0);
        for (int row = 0; row < 3; ++row) {
            const bool changed = changedRows.contains(QChar('a' + row));
            QCOMPARE(record(row).Value(0) == "Applied", changed);
            QCOMPARE(record(row).Changed(0), changed);
            QCOMPARE(record(row).Modified, changed);
        }
    }

    void checkedRowsApplyEvenEmptyOrEqualValues()
    {
        engine::DocumentRecord full = Titled("Same");
        full.Value(3) = "keywords";
        openDialog({full});
        typeInto(0, "Same");
        m_dialog->list().setData(m_dialog->list().index(3, 0), Qt::Checked, Qt::CheckStateRole);
        click("btnAll");
        QCOMPARE(record(0).Value(0), std::string("Same"));
        QVERIFY(record(0).Changed(0));
        QVERIFY(record(0).Value(3).empty());
        QVERIFY(record(0).Changed(3));
        QVERIFY(record(0).Modified);
    }

    void aSkippedLocalTimeAppliesNothingAndSaysSo_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed, editor still open") << true;
        QTest::newRow("in the list") << false;
    }

    // Under Berlin time 02:30 on 31 March 2024 does not exist: no value is applied, the dialog stays
    // and a box names the time.
    void aSkippedLocalTimeAppliesNothingAndSaysSo()
    {
        QFETCH(bool, typed);
        const engine::ScopedTimeZone zone("Europe/Berlin");
        m_window = WindowWithRows({Titled("a")});
        const QString skipped = QStringLiteral("2024-03-31 02:30:00");
        bool driven = false;
        bool stayed = false;
        QList<app::Dialogs::Message> shown;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<TfmModify*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            driven = true;
            const auto close = qScopeGuard([dialog] { dialog->reject(); });
            editing::BatchListModel& list = dialog->list();
            list.setData(list.index(0, 1), QStringLiteral("Applied"), Qt::EditRole);
            list.setData(list.index(0, 0), Qt::Checked, Qt::CheckStateRole);
            if (typed) {
                auto* view = dialog->findChild<editing::FocusEditView*>(QStringLiteral("VT"));
                view->setCurrentIndex(list.index(8, 0));
                auto* editor = qobject_cast<editing::PropertyDateEdit*>(view->indexWidget(list.index(8, 1)));
                QVERIFY(editor != nullptr);
                QTest::keyClicks(editor, skipped);
            } else {
                list.setData(list.index(8, 1), skipped, Qt::EditRole);
                list.setData(list.index(8, 0), Qt::Checked, Qt::CheckStateRole);
            }
            dialog->btnAllClick();
            stayed = dialog->isVisible();
            // The box opens queued, while the dialog still runs.
            QTRY_VERIFY(!(shown += app::Dialogs::takeShownMessages()).isEmpty());
        });
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn8"))->click();
        QVERIFY(driven);
        QVERIFY(stayed);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text,
                 QStringLiteral("CreatedTime: \"%1\" does not exist in the local time zone: the clocks skip "
                                "it when daylight saving time starts. Nothing was applied.")
                     .arg(skipped));
        QCOMPARE(record(0).Value(0), std::string("a"));
        QVERIFY(!record(0).Modified);
        QCOMPARE(m_window->undoStack()->count(), 0);
    }

    void batchModifyButtonOpensAFreshDialogEachTime()
    {
        m_window = WindowWithRows({Titled("a"), Titled("b")});
        int shown = 0;
        const auto driveDialog = [&] {
            auto* dialog = qobject_cast<TfmModify*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            ++shown;
            QCOMPARE(dialog->list().rowCount(), 17);
            QVERIFY(!dialog->list().anyChecked());
            QVERIFY(dialog->list().item(15).ItemValue.empty());
            dialog->list().setData(dialog->list().index(15, 1), QStringLiteral("Velmora"), Qt::EditRole);
            dialog->list().setData(dialog->list().index(15, 0), Qt::Checked, Qt::CheckStateRole);
            dialog->btnAllClick();
        };
        for (int time = 0; time < 2; ++time) {
            QTimer::singleShot(0, this, driveDialog);
            m_window->findChild<QToolButton*>(QStringLiteral("BitBtn8"))->click();
        }
        QCOMPARE(shown, 2);
        QCOMPARE(record(1).Value(15), std::string("Velmora"));
        QCOMPARE(m_window->undoStack()->count(), 2);
    }

    // While a filter is set, "to all" changes the rows it shows; the status bar says what was applied.
    void toAllChangesTheRowsTheFilterShows()
    {
        m_window = WindowWithRows({Titled("alpha"), Titled("beta"), Titled("alphabet")});
        m_window->findChild<QLineEdit*>(QStringLiteral("FilterBox"))->setText(QStringLiteral("ALPHA"));
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<TfmModify*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->list().setData(dialog->list().index(15, 1), QStringLiteral("Velmora"), Qt::EditRole);
            dialog->list().setData(dialog->list().index(15, 0), Qt::Checked, Qt::CheckStateRole);
            dialog->btnAllClick();
        });
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn8"))->click();
        QCOMPARE(record(0).Value(15), std::string("Velmora"));
        QCOMPARE(record(1).Value(15), std::string());
        QCOMPARE(record(2).Value(15), std::string("Velmora"));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Applied 1 value(s) to 2 package(s)"));
    }

    // On a screen smaller than the dialog it opens inside the screen, and its controls scroll:
    // tabbing to Close brings it into view, and it closes the dialog.
    void fitsASmallScreenAndScrollsToClose()
    {
        if (!apptest::OnSmallScreen()) {
            const QString failure = apptest::RunOnSmallScreen();
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            return;
        }
        openDialog();
        const QRect area = m_dialog->screen()->availableGeometry();
        QVERIFY2(area.contains(m_dialog->frameGeometry()), qPrintable(QStringLiteral("%1x%2 at %3,%4")
                                                                          .arg(m_dialog->width())
                                                                          .arg(m_dialog->height())
                                                                          .arg(m_dialog->x())
                                                                          .arg(m_dialog->y())));
        auto* scroll = m_dialog->findChild<QScrollArea*>();
        QVERIFY(scroll != nullptr);
        auto* close = m_dialog->findChild<QPushButton*>(QStringLiteral("btnClose"));
        const auto inView = [&] {
            return scroll->viewport()->rect().contains(
                QRect(close->mapTo(scroll->viewport(), QPoint()), close->size()));
        };
        QVERIFY(!inView());
        m_dialog->findChild<QPushButton*>(QStringLiteral("btnAll"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        QVERIFY(inView());
        QTest::keyClick(close, Qt::Key_Space);
        QVERIFY(!m_dialog->isVisible());
    }
};

QTEST_MAIN(BatchModifyTest)
#include "BatchModifyTest.moc"
