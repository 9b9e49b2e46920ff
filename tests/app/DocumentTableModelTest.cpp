// The grid model on its own: roles, marks, flags by column index, check states, notifications.
#include "app/DocumentTableModel.h"

#include "app/ColumnConfig.h"
#include "app/DefaultColumnConfig.h"
#include "engine/record/CellText.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <QTest>

using namespace app;

namespace {

void Configure(DocumentTableModel& model)
{
    xml::TXMLDocument doc;
    model.setColumns(ReadColumnConfig(doc, DefaultColumnConfig));
}

engine::DocumentRecord& AddRow(DocumentTableModel& model, const std::string& name)
{
    engine::DocumentRecord& record = model.documents().AppendRow();
    record.FileName = name;
    record.FullPath = "/deck/" + name;
    record.FileSize = "2048";
    record.Value(0) = "Title of " + name;
    model.documents().SetCheckState(model.documents().RowCount() - 1, engine::kChecked);
    return record;
}

} // namespace

class DocumentTableModelTest : public QObject
{
    Q_OBJECT

private slots:

    void passesTheModelTester()
    {
        DocumentTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Configure(model);
        for (int i = 0; i < 5; ++i) {
            AddRow(model, "d" + std::to_string(i) + ".pptx");
        }
        QVERIFY(model.setData(model.index(1, 5), QStringLiteral("Someone"), Qt::EditRole));
        QVERIFY(model.setData(model.index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        model.setAllCheckStates(engine::kChecked);
        model.documents().DeleteRow(3);
        engine::VectorDocumentList more;
        more.AppendRow().FileName = "late.pptx";
        model.adoptRows(more.TakeRows());
        QCOMPARE(model.rowCount(), 5);
        model.clearRows();
        QCOMPARE(model.rowCount(), 0);
    }

    void takenRowsGoBackToTheirPlaces_data()
    {
        QTest::addColumn<QString>("taken"); // per row of twelve, or of eighty when repeated
        QTest::newRow("one run") << "001110000000";
        QTest::newRow("scattered, ends") << "100101000011";
        // More runs than the view is told of one by one: it is reset once instead.
        QTest::newRow("alternating") << QStringLiteral("10").repeated(40);
    }

    // The same record objects come back with their check states, rows added meanwhile stay last.
    void takenRowsGoBackToTheirPlaces()
    {
        QFETCH(QString, taken);
        DocumentTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Configure(model);
        std::vector<const engine::DocumentRecord*> records;
        std::vector<std::size_t> positions;
        for (int i = 0; i < taken.size(); ++i) {
            records.push_back(&AddRow(model, "d" + std::to_string(i) + ".pptx"));
            model.documents().SetCheckState(static_cast<std::size_t>(i),
                                            i % 3 == 0 ? engine::kUnchecked : engine::kChecked);
            if (taken[i] == QLatin1Char('1')) {
                positions.push_back(static_cast<std::size_t>(i));
            }
        }
        auto rows = model.takeRows(positions);
        QCOMPARE(model.documents().RowCount(), records.size() - positions.size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            QCOMPARE(rows[i].record.get(), records[positions[i]]);
        }
        std::size_t next = 0;
        for (std::size_t row = 0; row < model.documents().RowCount(); ++row, ++next) {
            while (taken[static_cast<qsizetype>(next)] == QLatin1Char('1')) {
                ++next;
            }
            QCOMPARE(&model.documents().RecordAt(row), records[next]);
        }
        AddRow(model, "late.pptx");
        model.reinsertRows(positions, std::move(rows));
        QCOMPARE(model.documents().RowCount(), records.size() + 1);
        for (std::size_t row = 0; row < records.size(); ++row) {
            QCOMPARE(&model.documents().RecordAt(row), records[row]);
            QCOMPARE(model.documents().CheckState(row), row % 3 == 0 ? engine::kUnchecked : engine::kChecked);
        }
        QCOMPARE(model.documents().RecordAt(records.size()).FileName, std::string("late.pptx"));
    }

    void cellsAreAskedFromTheRecordEveryTime()
    {
        DocumentTableModel model;
        Configure(model);
        engine::DocumentRecord& record = AddRow(model, "a.pptx");
        for (int column = 0; column < 20; ++column) {
            QCOMPARE(model.index(0, column).data().toString().toStdString(),
                     engine::CellText(record, column));
        }
        record.Value(16) = "Boss";
        QCOMPARE(model.index(0, 19).data().toString(), QStringLiteral("Boss"));
    }

    void editingMarksTheValueAndTheFileName()
    {
        DocumentTableModel model;
        Configure(model);
        engine::DocumentRecord& record = AddRow(model, "a.pptx");
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        // The same text is no change.
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Title of a.pptx"), Qt::EditRole));
        QVERIFY(!record.Modified);
        QCOMPARE(changed.count(), 0);

        // The value rule holds for setData as for the editors: nothing is stored.
        QVERIFY(!model.setData(model.index(0, 17), QStringLiteral("1 hour"), Qt::EditRole));
        QVERIFY(!model.setData(model.index(0, 11), QStringLiteral("2013-02-29 07:08:09"), Qt::EditRole));
        QVERIFY(record.Value(14).empty() && record.Value(8).empty() && !record.Modified);

        QVERIFY(model.setData(model.index(0, 17), QStringLiteral("3600"), Qt::EditRole));
        QVERIFY(record.Modified);
        QVERIFY(record.Changed(14));
        QCOMPARE(record.Value(14), std::string("3600"));
        QCOMPARE(changed.count(), 1);

        const QColor blue(0, 0, 255);
        QCOMPARE(model.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), blue);
        QCOMPARE(model.index(0, 17).data(Qt::ForegroundRole).value<QColor>(), blue);
        QVERIFY(model.index(0, 17).data(Qt::FontRole).value<QFont>().bold());
        for (int column : {1, 2, 3, 16, 18}) {
            QVERIFY2(!model.index(0, column).data(Qt::ForegroundRole).isValid(),
                     qPrintable(QString::number(column)));
            QVERIFY(!model.index(0, column).data(Qt::FontRole).isValid());
        }
    }

    void onlyPropertyColumnsAreEditable()
    {
        DocumentTableModel model;
        Configure(model);
        engine::DocumentRecord& record = AddRow(model, "a.pptx");
        for (int column = 0; column < 20; ++column) {
            const Qt::ItemFlags flags = model.flags(model.index(0, column));
            QCOMPARE(bool(flags & Qt::ItemIsEditable), column > 2);
            QCOMPARE(bool(flags & Qt::ItemIsUserCheckable), column == 0);
        }
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("/elsewhere"), Qt::EditRole));
        QCOMPARE(record.FullPath, std::string("/deck/a.pptx"));

        // While a worker holds copies of the rows nothing can be edited.
        model.setLocked(true);
        QVERIFY(!(model.flags(model.index(0, 3)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 3), QStringLiteral("x"), Qt::EditRole));
        QVERIFY(!record.Modified);
    }

    void checkStatesAndCheckAll()
    {
        DocumentTableModel model;
        Configure(model);
        AddRow(model, "a.pptx");
        AddRow(model, "b.pptx");
        AddRow(model, "c.pptx");
        QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!model.index(1, 1).data(Qt::CheckStateRole).isValid());
        QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(model.documents().CheckState(1), engine::kUnchecked);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setAllCheckStates(engine::kUnchecked);
        QCOMPARE(changed.count(), 1); // one notification for the whole batch
        for (std::size_t row = 0; row < 3; ++row) {
            QCOMPARE(model.documents().CheckState(row), engine::kUnchecked);
        }
    }

    void failedRowsShowAnErrorMark()
    {
        DocumentTableModel model;
        Configure(model);
        engine::DocumentRecord& record = AddRow(model, "broken.pptx");
        QVERIFY(!model.index(0, 0).data(Qt::DecorationRole).isValid());
        record.LastError = "not a ZIP archive";
        QVERIFY(model.index(0, 0).data(Qt::DecorationRole).isValid());
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("/deck/broken.pptx: not a ZIP archive"));
        QVERIFY(!model.index(0, 3).data(Qt::DecorationRole).isValid());
    }

    void backgroundsAndAlignmentFollowTheColumn()
    {
        DocumentTableModel model;
        Configure(model);
        AddRow(model, "a.pptx");
        QCOMPARE(model.index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(239, 243, 255));
        QCOMPARE(model.index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignRight));
        QCOMPARE(model.index(0, 4).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                 int(Qt::AlignLeft));
    }
};

QTEST_MAIN(DocumentTableModelTest)
#include "DocumentTableModelTest.moc"
