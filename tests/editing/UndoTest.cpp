// Undo and redo of cell edits and batch applies: texts and flags come back exactly, steps follow
// their record whatever happens to the rows, the keys work with an editor open, and a save, whose
// effect the stack cannot undo, clears it.
#include "AppTestSupport.h"
#include "EditingTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/PropertyLineEdit.h"
#include "editing/RecordEdits.h"
#include "editing/RecordEditCommand.h"

#include <QAction>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace editingtest;
using editing::PropertyLineEdit;

namespace {

constexpr int kTitle = 3;
constexpr int kSubject = 4;

void Trigger(app::TfmMain& window, const char* name)
{
    auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

void TypeAndEnter(QWidget* editor, const QString& text)
{
    auto* box = qobject_cast<PropertyLineEdit*>(editor);
    QVERIFY(box != nullptr);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

struct Text
{
    engine::DocumentRecord* Record;
    std::size_t Property;
    std::string Value;
};

// The texts as record edits, one per record in the order first named.
std::vector<editing::RecordEdit> Staged(const std::vector<Text>& texts,
                                        engine::StageRule rule = engine::StageRule::RealChangesOnly)
{
    std::vector<editing::RecordEdit> edits;
    std::vector<std::shared_ptr<engine::RecordChanges>> changes;
    for (const Text& text : texts) {
        if (edits.empty() || edits.back().Record != text.Record) {
            changes.push_back(std::make_shared<engine::RecordChanges>());
            changes.back()->Rule = rule;
            edits.push_back(editing::RecordEdit{text.Record, changes.back()});
        }
        changes.back()->Values.push_back(engine::StagedText{text.Property, text.Value});
    }
    return edits;
}

} // namespace

class UndoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<app::TfmMain> m_window;

    const engine::DocumentRecord& record(int row)
    {
        return m_window->model().documents().RecordAt(static_cast<std::size_t>(row));
    }

    QUndoStack& stack() { return *m_window->undoStack(); }

private slots:

    void initTestCase() { app::Dialogs::setTestMode(true); }

    void cleanup()
    {
        app::Dialogs::takeShownMessages();
        m_window.reset();
    }

    void undoAndRedoOfAnEditRestoreTextsAndFlags()
    {
        engine::DocumentRecord edited = Titled("b");
        edited.Value(1) = "earlier";
        edited.SetChanged(1, true);
        edited.Modified = true;
        m_window = WindowWithRows({Titled("a"), edited});

        TypeAndEnter(FocusCell(*m_window, 0, kTitle), "A2");
        TypeAndEnter(FocusCell(*m_window, 1, kTitle), "B2");
        m_window->grid().commitOpenEditor();
        QCOMPARE(stack().count(), 2);

        Trigger(*m_window, "actUndo");
        Trigger(*m_window, "actUndo");
        QCOMPARE(record(0).Value(0), std::string("a"));
        QVERIFY(!record(0).Changed(0));
        QVERIFY(!record(0).Modified); // its only edit is gone
        QCOMPARE(record(1).Value(0), std::string("b"));
        QVERIFY(!record(1).Changed(0));
        QVERIFY(record(1).Changed(1) && record(1).Modified); // the earlier edit stays

        Trigger(*m_window, "actRedo");
        QCOMPARE(record(0).Value(0), std::string("A2"));
        QVERIFY(record(0).Changed(0) && record(0).Modified);

        // The model's own setData is the editors' path: one step of Undo, the value rule first.
        auto& model = m_window->model();
        QVERIFY(model.setData(model.index(0, kSubject), QStringLiteral("S2"), Qt::EditRole));
        QVERIFY(!model.setData(model.index(0, kTitle + 6), QStringLiteral("six"), Qt::EditRole));
        QCOMPARE(stack().count(), 2);
        QCOMPARE(stack().undoText(), QStringLiteral("Edit Subject"));
        Trigger(*m_window, "actUndo");
        QVERIFY(record(0).Value(1).empty() && !record(0).Changed(1));
        QVERIFY(record(0).Changed(0) && record(0).Modified);
    }

    void undoAndRedoOfABatchApply()
    {
        engine::DocumentRecord edited = Titled("b");
        edited.Value(15) = "Old Co";
        edited.SetChanged(15, true);
        edited.Modified = true;
        m_window = WindowWithRows({Titled("a"), edited});
        editing::RecordEdits edits(m_window->model(), stack());
        QVERIFY(edits.applyBatch({{0, "Same"}, {15, ""}}, false));
        QCOMPARE(stack().count(), 1);
        QCOMPARE(record(0).Value(0), std::string("Same"));
        QVERIFY(record(0).Changed(15) && record(0).Modified);

        stack().undo();
        for (int row = 0; row < 2; ++row) {
            QVERIFY(!record(row).Changed(0));
        }
        QCOMPARE(record(0).Value(0), std::string("a"));
        QVERIFY(!record(0).Changed(15) && !record(0).Modified);
        QCOMPARE(record(1).Value(15), std::string("Old Co"));
        QVERIFY(record(1).Changed(15) && record(1).Modified);

        stack().redo();
        QVERIFY(record(1).Value(15).empty() && record(1).Changed(15));
    }

    void stepsFollowTheirRecordNotTheRowNumber()
    {
        engine::VectorDocumentList rows;
        for (const char* title : {"first", "second", "third"}) {
            rows.AppendRow() = Titled(title);
        }
        QUndoStack local;
        local.push(new editing::RecordEditCommand(rows, Staged({{&rows.RecordAt(1), 0, "changed"}}), "Edit"));
        local.push(new editing::RecordEditCommand(
            rows, editing::SameChangesOn({&rows.RecordAt(0), &rows.RecordAt(2)}, editing::StageAll({{2, "X"}})),
            "Batch"));
        rows.DeleteRow(0); // "second" is now row 0; the batch's first record is gone
        local.undo();
        local.undo();
        QCOMPARE(rows.RecordAt(0).Value(0), std::string("second"));
        QVERIFY(!rows.RecordAt(0).Modified);
        QVERIFY(rows.RecordAt(1).Value(2).empty() && !rows.RecordAt(1).Modified);
        local.redo();
        QCOMPARE(rows.RecordAt(0).Value(0), std::string("changed"));
    }

    void oneStepUndoesAMixedSetOfChanges()
    {
        engine::VectorDocumentList rows;
        for (const char* title : {"first", "second"}) {
            rows.AppendRow() = Titled(title);
        }
        engine::DocumentRecord& staged = rows.RecordAt(1);
        staged.Value(4) = "pending";
        staged.SetChanged(4, true);
        staged.Modified = true;
        QUndoStack local;
        // A new text, an equal one (left out), a date and a clear of a staged value, on two records.
        auto* step = new editing::RecordEditCommand(rows,
                                                    Staged({{&rows.RecordAt(0), 0, "new"},
                                                            {&rows.RecordAt(0), 1, ""},
                                                            {&staged, 8, "2020-05-06 07:08:09"},
                                                            {&staged, 4, ""}}),
                                                    "Import");
        QCOMPARE(step->recordCount(), std::size_t{2});
        QVERIFY(rows.RecordAt(0).Changed(0) && staged.Changed(8)); // applied when made
        local.push(step);
        QVERIFY(rows.RecordAt(0).Modified && rows.RecordAt(0).Changed(0) && !rows.RecordAt(0).Changed(1));
        QVERIFY(staged.Changed(8) && staged.Value(4).empty());

        local.undo();
        QCOMPARE(rows.RecordAt(0).Value(0), std::string("first"));
        QVERIFY(!rows.RecordAt(0).Changed(0) && !rows.RecordAt(0).Modified);
        QVERIFY(staged.Value(8).empty() && !staged.Changed(8));
        QCOMPARE(staged.Value(4), std::string("pending"));
        QVERIFY(staged.Changed(4) && staged.Modified);

        // A text the value rule refuses makes no step at all, and the records it came after are
        // put back as they were.
        QVERIFY_THROWS_EXCEPTION(engine::EBadPropertyValue,
                                 editing::RecordEditCommand(rows,
                                                            Staged({{&rows.RecordAt(0), 0, "ok"}, {&staged, 6, "x"}},
                                                                   engine::StageRule::FlagEvenIfEqual),
                                                            "Batch"));
        QCOMPARE(rows.RecordAt(0).Value(0), std::string("first"));
        QVERIFY(!rows.RecordAt(0).Modified && !rows.RecordAt(0).Changed(0));
        QVERIFY(staged.Value(6).empty() && !staged.Changed(6));
    }

    void ctrlZInAnEditorWithTypingUndoesTheTyping()
    {
        m_window = WindowWithRows({Titled("a")});
        TypeAndEnter(FocusCell(*m_window, 0, kTitle), "A2");
        auto* editor = qobject_cast<PropertyLineEdit*>(FocusCell(*m_window, 0, kSubject));
        QTRY_VERIFY(editor->hasFocus());
        QTest::keyClicks(editor, "xyz");
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(editor->text() != QStringLiteral("xyz"));
        QCOMPARE(EditorAt(*m_window, 0, kSubject), editor);
        QCOMPARE(record(0).Value(0), std::string("A2"));
        QCOMPARE(stack().index(), 1);
    }

    void ctrlZInAnUnchangedEditorClosesItAndUndoesTheLastStep()
    {
        m_window = WindowWithRows({Titled("a"), Titled("b")});
        TypeAndEnter(FocusCell(*m_window, 0, kTitle), "A2");
        // Enter opened the editor below, which holds no change.
        QWidget* below = EditorAt(*m_window, 1, kTitle);
        QVERIFY(below != nullptr);
        QTRY_VERIFY(below->hasFocus());
        QTest::keyClick(below, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(EditorAt(*m_window, 1, kTitle) == nullptr);
        QCOMPARE(record(0).Value(0), std::string("a"));
        QVERIFY(!record(0).Modified);
        QVERIFY(!record(1).Modified);

        // Redo from a fresh, unchanged editor.
        QWidget* again = FocusCell(*m_window, 1, kSubject);
        QTRY_VERIFY(again->hasFocus());
        QTest::keyClick(again, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(record(0).Value(0), std::string("A2"));
    }

    void savesClearTheStackRefreshAndDeletesAreSteps_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("steps");
        QTest::newRow("save all") << "btnSaveAll" << 0;
        QTest::newRow("save checked") << "btnSaveChecked" << 0;
        QTest::newRow("refresh") << "BitBtn5" << 2;
        QTest::newRow("delete checked") << "BitBtn3" << 2;
        QTest::newRow("delete all") << "BitBtn4" << 2;
    }

    void savesClearTheStackRefreshAndDeletesAreSteps()
    {
        QFETCH(QString, button);
        QFETCH(int, steps);
        m_window = WindowWithRows({Titled("a"), Titled("b")});
        TypeAndEnter(FocusCell(*m_window, 0, kTitle), "A2");
        QCOMPARE(stack().count(), 1);
        auto* found = m_window->findChild<QToolButton*>(button);
        QVERIFY(found != nullptr);
        found->click();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(stack().count(), steps);
        QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("actUndo"))->isEnabled(), steps > 0);
    }
};

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
