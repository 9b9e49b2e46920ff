// Loads the real corpus into the window and saves a picture of it into the build folder.
#include "AppTestSupport.h"
#include "app/Dialogs.h"
#include "app/DocumentTableModel.h"
#include "app/TWaitForm.h"
#include "app/TfmMain.h"
#include "support/TempDir.h"

#include <QPixmap>
#include <QTest>
#include <QToolButton>

#include <filesystem>

using namespace app;

class ScreenshotTest : public QObject
{
    Q_OBJECT

private slots:

    void windowWithTheRealCorpus()
    {
        Dialogs::setTestMode(true);
        if (!std::filesystem::is_directory(testsupport::RealCorpusDir())) {
            QSKIP("the shared corpus folder is not there");
        }
        TfmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Dialogs::setNextFolder(QString::fromStdString(testsupport::RealCorpusDir().string()));
        window.findChild<QToolButton*>("BitBtn2")->click();
        QVERIFY(apptest::WaitForCommand(window));
        QVERIFY(window.model().rowCount() > 0);
        window.model().SetCheckState(1, engine::kUnchecked);
        QVERIFY(
            window.model().setData(window.model().index(2, 3), QStringLiteral("Edited title"), Qt::EditRole));
        QTest::qWait(50);
        const QPixmap picture = window.grab();
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
        QTest::qWait(200);
        QString path = QStringLiteral(VELMORA_SCREENSHOT_PATH);
        path.replace(QStringLiteral("screenshot.png"), QStringLiteral("waitbox.png"));
        QVERIFY(box.grab().save(path));
        box.ShowWaitBox(false, false);
    }
};

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
