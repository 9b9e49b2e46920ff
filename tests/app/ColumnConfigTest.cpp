// The built-in column layout: the text itself, its parsing, and the grid columns built from it.
#include "app/settings/ColumnConfig.h"

#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentTableModel.h"
#include "app/settings/DefaultColumnConfig.h"
#include "app/settings/TXMLConfigType.h"
#include "app/window/TfmMain.h"

#include <QApplication>
#include <QHeaderView>
#include <QPalette>
#include <QTest>

using namespace app;

class ColumnConfigTest : public QObject
{
    Q_OBJECT

private slots:

    void defaultTextIsOneLineOf2015Characters()
    {
        QCOMPARE(DefaultColumnConfig.size(), std::size_t{2015});
        QVERIFY(DefaultColumnConfig.find('\n') == std::string_view::npos);
        QVERIFY(DefaultColumnConfig.find('\r') == std::string_view::npos);
        QVERIFY(DefaultColumnConfig.find("Index=\"1\"  Width=\"173\"") != std::string_view::npos);
    }

    void alignmentRule_data()
    {
        QTest::addColumn<QString>("align");
        QTest::addColumn<int>("expected");
        QTest::newRow("right") << "right" << int(Qt::AlignRight);
        QTest::newRow("center") << "center" << int(Qt::AlignHCenter);
        QTest::newRow("left") << "left" << int(Qt::AlignLeft);
        QTest::newRow("empty") << "" << int(Qt::AlignLeft);
        QTest::newRow("capital Right") << "Right" << int(Qt::AlignLeft);
        QTest::newRow("CENTER") << "CENTER" << int(Qt::AlignLeft);
        QTest::newRow("blank after") << "right " << int(Qt::AlignLeft);
    }

    void alignmentRule()
    {
        QFETCH(QString, align);
        QFETCH(int, expected);
        QCOMPARE(int(ColumnAlignment(align.toStdString())), expected);
    }

    void parsesTwentyColumnsInListOrder()
    {
        xml::TXMLDocument doc;
        const auto columns = ReadColumnConfig(doc, DefaultColumnConfig);
        QCOMPARE(columns.size(), std::size_t{20});
        QCOMPARE(columns[0].caption, QStringLiteral("     File Name"));
        QCOMPARE(columns[17].caption, QStringLiteral("TotalEditTime(second)"));
        QCOMPARE(columns[19].caption, QStringLiteral("Manager"));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            QCOMPARE(columns[i].displayPosition, static_cast<int>(i));
            QVERIFY(columns[i].visible);
        }
    }

    void booleansIgnoreCaseAndListsSkipOtherChildren()
    {
        xml::TXMLDocument doc;
        doc.LoadFromText(
            "<config versionNo=\"7\"><nodes><!-- c --><node Name=\"A\" Visible=\"FALSE\" Index=\"1\" "
            "Width=\"5\" ReadOnly=\"tRuE\" Align=\"center\"/>text<node Name=\"B\" Visible=\"true\" "
            "Index=\"0\" Width=\"6\" ReadOnly=\"no\"/></nodes><folders/></config>");
        TXMLConfigType config = GetConfig(doc);
        QCOMPARE(config.versionNo(), 7);
        TXMLNodesType nodes = config.nodes();
        QCOMPARE(nodes.Count(), std::size_t{2});
        QVERIFY(!nodes.Node(0).Visible());
        QVERIFY(nodes.Node(0).ReadOnly());
        QCOMPARE(nodes.Node(1).Name(), std::string("B"));
        QVERIFY(!nodes.Node(1).ReadOnly());
        QCOMPARE(config.vnodes().Count(), std::size_t{0});

        // The writing side of the views round-trips through the document.
        TXMLNodeType inserted = nodes.Insert(1);
        inserted.SetName("Mid");
        inserted.SetWidth(42);
        inserted.SetVisible(true);
        QCOMPARE(nodes.Count(), std::size_t{3});
        QCOMPARE(nodes.Node(1).Name(), std::string("Mid"));
        QCOMPARE(nodes.Node(1).Width(), 42);
        QCOMPARE(nodes.Node(2).Name(), std::string("B"));
    }

    void badConfigurationsAreReported()
    {
        xml::TXMLDocument doc;
        QVERIFY_THROWS_EXCEPTION(xml::EXmlError, ReadColumnConfig(doc, "<other/>"));
        QVERIFY_THROWS_EXCEPTION(
            xml::EXmlError,
            ReadColumnConfig(doc, "<config><nodes><node Name=\"A\" Width=\"wide\" Index=\"0\"/>"
                                  "</nodes></config>"));
    }

    void windowColumnsFollowTheConfiguration()
    {
        TfmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const DocumentTableModel& model = window.model();
        QHeaderView* header = window.grid().horizontalHeader();
        QCOMPARE(model.columnCount(), 20);
        QCOMPARE(header->count(), 20);

        const int widths[] = {172, 173, 84,  120, 120, 120, 120, 120, 120, 120,
                              120, 120, 120, 120, 120, 120, 120, 120, 120, 120};
        const QColor tooltip = QApplication::palette().color(QPalette::ToolTipBase);
        for (int column = 0; column < 20; ++column) {
            // The configured width, or more where the current font needs it.
            QVERIFY(header->sectionSize(column) >= widths[column]);
            if (column != 17 && (column < 10 || column > 12)) {
                QCOMPARE(header->sectionSize(column), widths[column]);
            }
            QCOMPARE(header->visualIndex(column), column);
            QVERIFY(!header->isSectionHidden(column));
            const auto& setting = model.columns()[static_cast<std::size_t>(column)];
            QCOMPARE(setting.background, column <= 2 ? QColor(239, 243, 255) : tooltip);
            QCOMPARE(setting.alignment, column == 2 ? Qt::AlignRight : Qt::AlignLeft);
        }
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("     File Name"));
        QCOMPARE(model.headerData(16, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Template"));
        QCOMPARE(window.windowTitle(), QStringLiteral("PowerPoint Velmora V2.7.3"));
        QCOMPARE(header->height(), 17);
    }

    void datesAndCaptionsAreNotCutAtFirstShow()
    {
        QApplication::setFont(QFont(QApplication::font().family(), 14));
        TfmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QHeaderView* header = window.grid().horizontalHeader();
        const QFontMetrics cells(window.grid().font());
        for (const int column : {10, 11, 12}) {
            QVERIFY(header->sectionSize(column) >
                    cells.horizontalAdvance(QStringLiteral("2024-09-26 09:15:59")));
        }
        const QFontMetrics captions(header->font());
        for (int column = 0; column < 20; ++column) {
            const QString caption =
                window.model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            QVERIFY2(header->sectionSize(column) > captions.horizontalAdvance(caption), qPrintable(caption));
        }
        // The user may still make a column narrower.
        header->resizeSection(11, 40);
        QCOMPARE(header->sectionSize(11), 40);
        QApplication::setFont(QFont());
    }
};

QTEST_MAIN(ColumnConfigTest)
#include "ColumnConfigTest.moc"
