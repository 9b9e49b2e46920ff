// What the window tells and keeps: sizes after a save, paths from the command line, the check-all
// box in the header, tooltips of cut texts, and the layout remembered between runs.
#include "AppTestSupport.h"
#include "app/Dialogs.h"
#include "app/DocumentGrid.h"
#include "app/DocumentSortFilterModel.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QToolTip>

using namespace app;
using apptest::CellOf;
namespace fs = std::filesystem;

using apptest::Native;

class WindowFeedbackTest : public apptest::WindowTest
{
    Q_OBJECT

private:
private slots:

    void sizeIsMeasuredAgainAfterASave()
    {
        const fs::path path = *m_dir / "deck.pptx";
        apptest::WritePackage(path, "Short");
        m_window->openPaths({Native(path)});
        QVERIFY(apptest::WaitForCommand(*m_window));
        auto& model = m_window->model();
        const std::string before = model.documents().RecordAt(0).FileSize;
        QVERIFY(model.setData(model.index(0, 7), QString(3000, QLatin1Char('d')), Qt::EditRole));
        m_window->findChild<QAction*>("actSaveAll")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QVERIFY(!model.documents().RecordAt(0).Modified);
        QCOMPARE(model.documents().RecordAt(0).FileSize, std::to_string(fs::file_size(path)));
        QVERIFY(model.documents().RecordAt(0).FileSize != before);
    }

    void commandLinePathsBecomeRowsInOrder()
    {
        apptest::WritePackage(*m_dir / "z.pptx", "Zed");
        apptest::WritePackage(*m_dir / "folder" / "b.pptx", "Bee");
        apptest::WritePackage(*m_dir / "folder" / "a.pptx", "Ay");
        apptest::WritePackage(*m_dir / "notes.bin", "Any extension");
        testsupport::WriteFileBytes(*m_dir / "tiny.pptx", std::string(512, 'x'));
        m_window->openPaths({Native(*m_dir / "z.pptx"), Native(*m_dir / "missing.pptx"),
                             Native(*m_dir / "folder"), Native(*m_dir / "tiny.pptx"),
                             Native(*m_dir / "notes.bin")});
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(m_window->model().rowCount(), 4);
        const char* titles[] = {"Zed", "Ay", "Bee", "Any extension"};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(CellOf(*m_window, row, 3), std::string(titles[row]));
        }
        const auto messages = Dialogs::takeShownMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));
        QVERIFY(
            messages[0].text.contains(Native(*m_dir / "missing.pptx") + QStringLiteral(": does not exist")));
        QVERIFY(messages[0].text.contains(Native(*m_dir / "tiny.pptx") + QStringLiteral(": too small")));
        QVERIFY(!messages[0].text.contains(QStringLiteral("z.pptx")));

        // Nothing to add still says why.
        m_window->openPaths({Native(*m_dir / "gone")});
        QCOMPARE(Dialogs::takeShownMessages().size(), 1);
    }

    void checkAllBoxMovesWithTheFirstColumn()
    {
        auto* box = m_window->findChild<QCheckBox*>("cbCheckAll");
        QHeaderView* header = m_window->grid().horizontalHeader();
        QCOMPARE(box->parentWidget(), header->viewport());
        const auto boxInsideColumn0 = [&] {
            const int left = header->sectionViewportPosition(0);
            return box->x() >= left && box->geometry().right() < left + header->sectionSize(0);
        };
        QVERIFY(box->isVisible());
        QVERIFY(boxInsideColumn0());

        m_window->resize(500, 400);
        QScrollBar* sideways = m_window->grid().horizontalScrollBar();
        QTRY_VERIFY(sideways->maximum() > 0);
        sideways->setValue(100);
        QVERIFY(boxInsideColumn0());
        QVERIFY(box->x() < 0); // scrolled out of sight with its column

        sideways->setValue(0);
        header->moveSection(header->visualIndex(0), 3);
        QVERIFY(boxInsideColumn0());
        QVERIFY(box->x() > header->sectionSize(1));
    }

    void cutTextsShowInFullAsTooltips()
    {
        apptest::WritePackage(*m_dir / "deck.pptx",
                              "A title far too long for the narrow column it is shown in");
        m_window->openPaths({Native(*m_dir / "deck.pptx")});
        QVERIFY(apptest::WaitForCommand(*m_window));
        DocumentGrid& grid = m_window->grid();
        grid.horizontalHeader()->resizeSection(3, 60);
        const QModelIndex title = m_window->view().index(0, 3);
        const QPoint at = grid.visualRect(title).center();
        QHelpEvent help(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid.viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), title.data().toString());
        QToolTip::hideText();

        grid.horizontalHeader()->resizeSection(3, 2000);
        QApplication::sendEvent(grid.viewport(), &help);
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void layoutIsRememberedBetweenRuns()
    {
        QHeaderView* header = m_window->grid().horizontalHeader();
        header->moveSection(header->visualIndex(5), 0);
        header->resizeSection(7, 333);
        m_window->resize(720, 410);
        m_window->close();
        QVERIFY(!m_window->isVisible());
        QVERIFY(apptest::OpenWindow(m_window));
        header = m_window->grid().horizontalHeader();
        QCOMPARE(header->visualIndex(5), 0);
        QCOMPARE(header->sectionSize(7), 333);
        QCOMPARE(m_window->size(), QSize(720, 410));
        // Each file dialog starts where it was last used.
        Dialogs::setNextFolder(Native(m_dir->Path()));
        m_window->findChild<QAction*>("actAddFolder")->trigger();
        QVERIFY(apptest::WaitForCommand(*m_window));
        QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velmora", "velmora")
                     .value("dialogs/addFolder")
                     .toString(),
                 Native(m_dir->Path()));
        // Back to the built-in layout for the other tests.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velmora", "velmora").clear();
    }
};

QTEST_MAIN(WindowFeedbackTest)
#include "WindowFeedbackTest.moc"
