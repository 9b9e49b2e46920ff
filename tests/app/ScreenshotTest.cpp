// Loads the real corpus into the window and saves a picture of it into the build folder, after
// checking that the rows are there and that the picture shows them.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/TWaitForm.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "engine/adding/ScanFolder.h"
#include "support/TempDir.h"

#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace app;

namespace {

// A cell holds text when it has more shades than its background, its grid line and a highlight.
bool HoldsText(const QImage& cell)
{
    QSet<QRgb> shades;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            shades.insert(cell.pixel(x, y));
        }
    }
    return shades.size() > 3;
}

} // namespace

class ScreenshotTest : public QObject
{
    Q_OBJECT

private slots:

    void windowWithTheRealCorpus()
    {
        Dialogs::setTestMode(true);
        if (!testsupport::HaveRealCorpus()) {
            const std::string missing = testsupport::RealCorpusMissing();
            QSKIP(missing.c_str());
        }
        TfmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Dialogs::setNextFolder(QString::fromStdString(testsupport::RealCorpusDir().string()));
        window.findChild<QToolButton*>("BitBtn2")->click();
        QVERIFY(apptest::WaitForCommand(window));
        std::vector<std::string> expected; // a folder scan skips files too small to be a package
        for (const std::string& name : testsupport::RealCorpusPackages()) {
            if (std::filesystem::file_size(testsupport::RealCorpusDir() / name) > engine::kMinPackageSize) {
                expected.push_back(name);
            }
        }
        std::vector<std::string> names;
        for (int row = 0; row < window.model().rowCount(); ++row) {
            names.push_back(window.model().documents().RecordAt(static_cast<std::size_t>(row)).FileName);
        }
        std::sort(names.begin(), names.end());
        QCOMPARE(names, expected);
        window.model().documents().SetCheckState(1, engine::kUnchecked);
        QVERIFY(
            window.model().setData(window.model().index(2, 3), QStringLiteral("Edited title"), Qt::EditRole));

        // The picture shows the rows: the first rows' paths and sizes, and the edited title. The grid
        // lays its rows out when it gets to it, so the picture is taken again until it shows them.
        std::vector<std::pair<int, int>> cells{{2, 3}};
        for (int row = 0; row < 4; ++row) {
            cells.insert(cells.end(), {{row, 1}, {row, 2}});
        }
        QPixmap picture;
        QString blank;
        const auto showsTheRows = [&] {
            picture = window.grab();
            const QImage image = picture.toImage();
            const QPoint viewportAt = window.grid().viewport()->mapTo(&window, QPoint(0, 0));
            for (const auto& [row, column] : cells) {
                const QRect cell = window.grid().visualRect(window.view().index(row, column));
                const QImage shown =
                    image.copy(QRect(cell.translated(viewportAt).topLeft() * picture.devicePixelRatio(),
                                     cell.size() * picture.devicePixelRatio()));
                if (cell.isEmpty() || !HoldsText(shown)) {
                    blank = QStringLiteral("row %1, column %2 is blank").arg(row).arg(column);
                    return false;
                }
            }
            blank.clear();
            return true;
        };
        QTRY_VERIFY2(showsTheRows(), qPrintable(blank));
        QVERIFY(picture.save(QStringLiteral(VELMORA_SCREENSHOT_PATH)));
    }

    void waitBox()
    {
        TfmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TWaitForm& box = window.waitForm();
        box.SetWaitText(QStringLiteral("Loading info.."));
        box.ShowWaitBox(true, true);
        box.setProgress(12, 64, QStringLiteral("/corpus/real/oxs_typical_1601.pptx"));
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QString path = QStringLiteral(VELMORA_SCREENSHOT_PATH);
        path.replace(QStringLiteral("screenshot.png"), QStringLiteral("waitbox.png"));
        QVERIFY(box.grab().save(path));
        box.ShowWaitBox(false, false);
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
