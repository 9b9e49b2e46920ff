// What the window tells and keeps: sizes after a save, paths from the command line, the check-all
// box in the header, tooltips of cut texts, the layout remembered between runs, and the Details
// pane about the current row.
#include "AppTestSupport.h"
#include "app/details/DetailsPane.h"
#include "app/details/ThumbnailView.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "support/OfficePackages.h"
#include "support/TempDir.h"
#include "support/ThumbnailPackages.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

#include <future>

using namespace app;
using apptest::CellOf;
namespace fs = std::filesystem;

using apptest::Native;

namespace {

// A 4 by 3 picture in the given format.
std::string PictureOf(const char* format)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data().toStdString();
}

// A presentation (Application "Velmora Tests", 3 slides, custom property Client "Acme") whose
// thumbnail member partName holds content; no thumbnail at all when partName is empty.
void WriteThumbnailPackage(const fs::path& path, const std::string& partName, const std::string& content)
{
    const std::string customRel =
        "<Relationship Id=\"rIdC\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/custom-properties\" Target=\"docProps/custom.xml\"/>";
    testsupport::PackageBuilder builder = testsupport::ThumbnailPackage(
        (partName.empty() ? std::string() : testsupport::ThumbnailRel(partName)) + customRel);
    builder.Add("docProps/custom.xml", testsupport::CustomXml(testsupport::CustomProperty(
                                           2, "Client", "<vt:lpwstr>Acme</vt:lpwstr>")));
    if (!partName.empty()) {
        builder.Add(partName, content, testsupport::PackageBuilder::Method::Stored);
    }
    builder.Add("ppt/media/padding.bin", std::string(600, 'x'), testsupport::PackageBuilder::Method::Stored);
    builder.WriteTo(path);
}

// The value the Details pane shows for a fact (a name under File, Statistics or Custom Properties).
QString FactOf(const DetailsPane& pane, const QString& name)
{
    const auto* facts = pane.findChild<QTreeWidget*>(QStringLiteral("DetailsFacts"));
    const QList<QTreeWidgetItem*> found = facts->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found[0]->text(1)
                             : QStringLiteral("<%1 rows named %2>").arg(found.size()).arg(name);
}

// The Details pane's settings go back to their defaults when a test that shows it ends.
struct DetailsSettingsReset
{
    ~DetailsSettingsReset()
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Velmora", "velmora");
        settings.remove("view/details");
        settings.remove("window/docks");
    }
};

const ThumbnailView& ThumbnailOf(const DetailsPane& pane)
{
    return *pane.findChild<ThumbnailView*>(QStringLiteral("DetailsThumbnail"));
}

} // namespace

class WindowFeedbackTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    DetailsPane& openDetails(const std::vector<fs::path>& packages)
    {
        QStringList paths;
        for (const fs::path& package : packages) {
            paths << Native(package);
        }
        m_window->openPaths(paths);
        [&] { QVERIFY(apptest::WaitForCommand(*m_window)); }();
        QTest::keyClick(m_window.get(), Qt::Key_F3);
        return m_window->detailsPane();
    }

    void makeCurrent(int viewRow) { m_window->grid().setCurrentIndex(m_window->view().index(viewRow, 3)); }

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

    void detailsShowThePictureOrWhyThereIsNone_data()
    {
        QTest::addColumn<QString>("partName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("placeholder"); // empty: the picture shows
        QTest::newRow("PNG") << "docProps/thumbnail.png" << QByteArray::fromStdString(PictureOf("PNG")) << "";
        QTest::newRow("JPEG") << "docProps/thumbnail.jpeg" << QByteArray::fromStdString(PictureOf("JPEG"))
                              << "";
        QTest::newRow("none") << "" << QByteArray() << "the package has no thumbnail";
        QTest::newRow("damaged PNG") << "docProps/thumbnail.png"
                                     << QByteArray::fromStdString(PictureOf("PNG").substr(0, 40))
                                     << "the thumbnail is damaged";
        QTest::newRow("damaged JPEG")
            << "docProps/thumbnail.jpeg" << QByteArray::fromStdString(testsupport::PictureBytes(600))
            << "the thumbnail is damaged";
        QTest::newRow("WMF") << "docProps/thumbnail.wmf" << QByteArray("\xD7\xCD\xC6\x9A metafile")
                             << "no preview in this format";
        // The frame header after the JPEG start-of-frame marker: length, precision, height, width.
        std::string huge = PictureOf("JPEG");
        huge.replace(huge.find("\xFF\xC0") + 5, 4, std::string("\x40\x00\x40\x00", 4)); // 16384 by 16384
        QTest::newRow("absurd size") << "docProps/thumbnail.jpeg" << QByteArray::fromStdString(huge)
                                     << "the thumbnail declares 16384 by 16384 pixels";
    }

    void detailsShowThePictureOrWhyThereIsNone()
    {
        const DetailsSettingsReset reset;
        QFETCH(QString, partName);
        QFETCH(QByteArray, content);
        QFETCH(QString, placeholder);
        const fs::path path = *m_dir / "deck.pptx";
        WriteThumbnailPackage(path, partName.toStdString(), content.toStdString());
        DetailsPane& pane = openDetails({path});
        QVERIFY(pane.isVisible());
        makeCurrent(0);
        QTRY_VERIFY(!FactOf(pane, "Members").isEmpty());
        if (placeholder.isEmpty()) {
            QCOMPARE(ThumbnailOf(pane).picture().size(), QSize(4, 3));
        } else {
            QVERIFY(ThumbnailOf(pane).picture().isNull());
            QVERIFY2(ThumbnailOf(pane).text().startsWith(placeholder), qPrintable(ThumbnailOf(pane).text()));
        }
        // The row's properties read as ever.
        QCOMPARE(CellOf(*m_window, 0, 3), std::string("Safe"));
    }

    void detailsFollowTheCurrentRowThroughTheSortedView()
    {
        const DetailsSettingsReset reset;
        const fs::path pictured = *m_dir / "pictured.pptx";
        WriteThumbnailPackage(pictured, "docProps/thumbnail.png", PictureOf("PNG"));
        apptest::WritePackage(*m_dir / "b.pptx", "Bee");
        apptest::WritePackage(*m_dir / "a.pptx", "Ay");
        DetailsPane& pane = openDetails({*m_dir / "b.pptx", pictured, *m_dir / "a.pptx"});
        m_window->view().sort(3, Qt::AscendingOrder); // Ay, Bee, Safe
        makeCurrent(2);
        QCOMPARE(FactOf(pane, "Name"), QStringLiteral("pictured.pptx"));
        QCOMPARE(FactOf(pane, "Application"), QStringLiteral("Velmora Tests"));
        QCOMPARE(FactOf(pane, "Slides"), QStringLiteral("3"));
        QCOMPARE(FactOf(pane, "Client"), QStringLiteral("Acme"));
        QTRY_COMPARE(FactOf(pane, "Members"), QStringLiteral("8"));
        QCOMPARE(FactOf(pane, "Signed"), QStringLiteral("no"));
        QCOMPARE(FactOf(pane, "Size"), QStringLiteral("%1 bytes").arg(fs::file_size(pictured)));
        QVERIFY(!ThumbnailOf(pane).picture().isNull());

        // A pending change shows as the grid shows it.
        engine::DocumentRecord changed = m_window->model().documents().RecordAt(1);
        QVERIFY(engine::SetCustomProperty(changed, "Client", engine::CustomKind::Text, "Globex"));
        m_window->model().storeRecord(1, changed);
        QCOMPARE(FactOf(pane, "Client"), QStringLiteral("Globex"));

        makeCurrent(0);
        QCOMPARE(FactOf(pane, "Name"), QStringLiteral("a.pptx"));
        QCOMPARE(FactOf(pane, "Slides"), QString());
        QCOMPARE(FactOf(pane, "Client"), QStringLiteral("<0 rows named Client>"));
        QTRY_COMPARE(ThumbnailOf(pane).text(), QStringLiteral("the package has no thumbnail"));
    }

    void detailsReadOnlyTheRowMovedTo()
    {
        const DetailsSettingsReset reset;
        std::vector<fs::path> packages;
        for (int i = 0; i < 40; ++i) {
            packages.push_back(*m_dir / ("deck" + std::to_string(100 + i) + ".pptx"));
            apptest::WritePackage(packages.back(), "Deck " + std::to_string(i));
        }
        DetailsPane& pane = openDetails(packages);
        const int before = pane.readsStarted();
        for (int row = 0; row < 40; ++row) {
            makeCurrent(row);
        }
        QTRY_COMPARE(FactOf(pane, "Members"), QStringLiteral("6"));
        QCOMPARE(FactOf(pane, "Name"), QStringLiteral("deck139.pptx"));
        QVERIFY2(pane.readsStarted() - before <= 2,
                 qPrintable(QString::number(pane.readsStarted() - before)));
    }

    void detailsWaitForARunningCommand()
    {
        const DetailsSettingsReset reset;
        apptest::WritePackage(*m_dir / "a.pptx", "Ay");
        apptest::WritePackage(*m_dir / "b.pptx", "Bee");
        DetailsPane& pane = openDetails({*m_dir / "a.pptx", *m_dir / "b.pptx"});
        makeCurrent(0);
        QTRY_COMPARE(FactOf(pane, "Members"), QStringLiteral("6"));
        const int before = pane.readsStarted();
        // A Refresh held at its first package until the test lets it go, so that the current row
        // moves while it runs.
        std::promise<void> letGo;
        const std::shared_future<void> released = letGo.get_future().share();
        m_window->setProgressObserver([released](std::size_t, std::size_t) { released.wait(); });
        m_window->findChild<QAction*>("actRefresh")->trigger();
        QVERIFY(m_window->isBusy());
        makeCurrent(1);
        QCOMPARE(ThumbnailOf(pane).text(), QStringLiteral("Reading\u2026"));
        // No event tells that a read was held back, so this waits for the read that must not start:
        // the pane spaces its reads 120 ms apart, and a read of the new row would have started
        // within several times that, were the pane not held.
        QVERIFY(!QTest::qWaitFor([&] { return pane.readsStarted() != before; }, 600));
        QVERIFY(m_window->isBusy());
        letGo.set_value();
        QVERIFY(apptest::WaitForCommand(*m_window));
        m_window->setProgressObserver({});
        QTRY_COMPARE(FactOf(pane, "Members"), QStringLiteral("6"));
        QCOMPARE(FactOf(pane, "Name"), QStringLiteral("b.pptx"));
    }

    void detailsPaneIsToggledAndRemembered()
    {
        const DetailsSettingsReset reset;
        auto* toggle = m_window->findChild<QAction*>("actDetails");
        DetailsPane& pane = m_window->detailsPane();
        QVERIFY(!pane.isVisible());
        QTest::keyClick(m_window.get(), Qt::Key_F3);
        QVERIFY(pane.isVisible());
        QVERIFY(toggle->isChecked());
        m_window->addDockWidget(Qt::LeftDockWidgetArea, &pane);
        m_window->close();
        QVERIFY(apptest::OpenWindow(m_window));
        QVERIFY(m_window->detailsPane().isVisible());
        QCOMPARE(m_window->dockWidgetArea(&m_window->detailsPane()), Qt::LeftDockWidgetArea);

        // Its own close button is the menu entry's second way out.
        m_window->detailsPane().close();
        QVERIFY(!m_window->findChild<QAction*>("actDetails")->isChecked());
        m_window->close();
        QVERIFY(apptest::OpenWindow(m_window));
        QVERIFY(!m_window->detailsPane().isVisible());
    }
};

QTEST_MAIN(WindowFeedbackTest)
#include "WindowFeedbackTest.moc"
