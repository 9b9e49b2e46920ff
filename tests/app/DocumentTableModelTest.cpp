// The grid model on its own: roles, marks, flags by column index, check states, notifications;
// and the sorted, filtered view of its rows.
#include "app/grid/DocumentTableModel.h"

#include "app/grid/DocumentSortFilterModel.h"
#include "app/settings/ColumnConfig.h"
#include "app/settings/DefaultColumnConfig.h"
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

// The file names of the rows in the order the view shows them.
std::vector<std::string> ShownNames(const DocumentSortFilterModel& view)
{
    std::vector<std::string> names;
    for (int row = 0; row < view.rowCount(); ++row) {
        names.push_back(view.index(row, 0).data().toString().toStdString());
    }
    return names;
}

using Names = std::vector<std::string>;

} // namespace

class DocumentTableModelTest : public QObject
{
    Q_OBJECT

private slots:

    void sortsEachKindOfColumnAndReturnsToTheAddedOrder()
    {
        // In the C locale too: digits compare as numbers and case never decides.
        DocumentTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Configure(model);
        DocumentSortFilterModel view(model);
        const struct
        {
            const char* name;
            const char* size;
            const char* title;
            const char* revision;
            const char* created;
        } rows[] = {
            {"deck 10.pptx", "900", "beta", "10", "2024-05-01 10:00:00"},
            {"Deck 2.pptx", "10000", "", "9", "2023-12-31 23:59:59"},
            {"deck 1.pptx", "12", "Alpha", "", "2024-05-01 09:00:00"},
            {"apple.pptx", "2048", "alpha 2", "100", ""},
        };
        for (const auto& row : rows) {
            engine::DocumentRecord& record = AddRow(model, row.name);
            record.FileSize = row.size;
            record.Value(0) = row.title;
            record.Value(6) = row.revision;
            record.Value(8) = row.created;
        }
        const Names added{"deck 10.pptx", "Deck 2.pptx", "deck 1.pptx", "apple.pptx"};
        view.sort(0, Qt::AscendingOrder);
        QCOMPARE(ShownNames(view), (Names{"apple.pptx", "deck 1.pptx", "Deck 2.pptx", "deck 10.pptx"}));
        view.sort(2, Qt::AscendingOrder); // the size in bytes, not the text "1.95 KB"
        QCOMPARE(ShownNames(view), (Names{"deck 1.pptx", "deck 10.pptx", "apple.pptx", "Deck 2.pptx"}));
        view.sort(3, Qt::AscendingOrder); // empty titles last
        QCOMPARE(ShownNames(view), (Names{"deck 1.pptx", "apple.pptx", "deck 10.pptx", "Deck 2.pptx"}));
        view.sort(3, Qt::DescendingOrder); // and last again when reversed
        QCOMPARE(ShownNames(view), (Names{"deck 10.pptx", "apple.pptx", "deck 1.pptx", "Deck 2.pptx"}));
        view.sort(9, Qt::AscendingOrder); // Revision as numbers
        QCOMPARE(ShownNames(view), (Names{"Deck 2.pptx", "deck 10.pptx", "apple.pptx", "deck 1.pptx"}));
        view.sort(11, Qt::DescendingOrder); // CreatedTime, latest first, empty last
        QCOMPARE(ShownNames(view), (Names{"deck 10.pptx", "deck 1.pptx", "Deck 2.pptx", "apple.pptx"}));
        view.sort(-1);
        QCOMPARE(ShownNames(view), added);
        // The rows stay in added order in the model whatever the view shows.
        view.sort(0, Qt::DescendingOrder);
        QCOMPARE(model.documents().RecordAt(0).FileName, std::string("deck 10.pptx"));
        QCOMPARE(view.rowsInShownOrder(), (std::vector<std::size_t>{0, 1, 2, 3}));
    }

    void sortFoldsTheCaseOfEveryLetter()
    {
        DocumentTableModel model;
        Configure(model);
        DocumentSortFilterModel view(model);
        for (const char* name : {"\u00c9mile 10", "Zebra", "\u00e9mile 9", "eagle", "\u00c9LAN"}) {
            AddRow(model, name);
        }
        view.sort(0, Qt::AscendingOrder);
        // By code point once folded: 'z' before 'é'; "Émile" and "émile" differ only in case.
        QCOMPARE(ShownNames(view),
                 (Names{"eagle", "Zebra", "\u00c9LAN", "\u00e9mile 9", "\u00c9mile 10"}));
    }

    void anEditNeitherMovesNorHidesItsRow()
    {
        DocumentTableModel model;
        Configure(model);
        DocumentSortFilterModel view(model);
        for (const char* name : {"b.pptx", "c.pptx", "a.pptx"}) {
            AddRow(model, name);
        }
        view.sort(3, Qt::AscendingOrder);
        view.setFilterText(QStringLiteral("title of"));
        QCOMPARE(view.rowCount(), 3);
        // "Title of a.pptx" becomes a title that sorts last and no longer matches the filter.
        QVERIFY(view.setData(view.index(0, 3), QStringLiteral("zzz"), Qt::EditRole));
        QCOMPARE(ShownNames(view), (Names{"a.pptx", "b.pptx", "c.pptx"}));
        QCOMPARE(view.index(0, 3).data().toString(), QStringLiteral("zzz"));
        // Until the user sorts or filters again.
        view.sort(3, Qt::AscendingOrder);
        QCOMPARE(ShownNames(view), (Names{"b.pptx", "c.pptx", "a.pptx"}));
        view.setFilterText(QStringLiteral("TITLE OF"));
        QCOMPARE(ShownNames(view), (Names{"b.pptx", "c.pptx"}));
    }

    void filterMatchesAnyColumnIgnoringCase()
    {
        DocumentTableModel model;
        Configure(model);
        DocumentSortFilterModel view(model);
        AddRow(model, "one.pptx").Value(15) = "Müller & Söhne";
        AddRow(model, "two.pptx").Value(2) = "ÉLISE";
        AddRow(model, "three.pptx").FullPath = "/Archive/2024/three.pptx";
        QCOMPARE(view.shownRows(), (std::vector<std::size_t>{0, 1, 2}));
        view.setFilterText(QStringLiteral("MÜLLER"));
        QCOMPARE(ShownNames(view), (Names{"one.pptx"}));
        view.setFilterText(QStringLiteral("élise"));
        QCOMPARE(ShownNames(view), (Names{"two.pptx"}));
        view.setFilterText(QStringLiteral("archive/2024"));
        QCOMPARE(ShownNames(view), (Names{"three.pptx"}));
        view.setFilterText(QStringLiteral("2.00 kb")); // the size as the grid shows it
        QCOMPARE(view.rowCount(), 3);
        view.setFilterText(QStringLiteral("nowhere"));
        QCOMPARE(view.rowCount(), 0);
        QVERIFY(view.shownRows().empty());
        view.setFilterText(QString());
        QCOMPARE(view.rowCount(), 3);
    }

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
