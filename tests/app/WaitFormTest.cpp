// The wait box and the worker helpers that honour its Cancel button.
#include "AppTestSupport.h"
#include "app/dialogs/TWaitForm.h"
#include "app/dialogs/WaitAnimation.h"
#include "app/window/AddItems.h"
#include "support/TempDir.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

using namespace app;

class WaitFormTest : public QObject
{
    Q_OBJECT

private slots:

    void showsAndHidesOneBox()
    {
        QWidget owner;
        owner.resize(600, 400);
        owner.show();
        TWaitForm box(&owner);
        QCOMPARE(box.width(), 376);
        QCOMPARE(box.findChild<QLabel*>("Label1")->text(),
                 QStringLiteral("This will take a few minutes.Please be patient..."));
        QCOMPARE(box.findChild<QLabel*>("Label2")->text(), QStringLiteral("..."));
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        // A tool window of its owner: in front of it, not of every other program.
        QCOMPARE(box.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

        box.ShowWaitBox(false, false); // never shown: harmless
        box.ShowWaitBox(true, false);
        box.ShowWaitBox(true, true);
        QVERIFY(box.isVisible());
        QVERIFY(box.findChild<WaitAnimation*>("Animate1")->isRunning());
        QVERIFY(box.findChild<QToolButton*>("SpeedButton1")->isVisible());
        QCOMPARE(owner.findChildren<TWaitForm*>().size(), 1);
        QCOMPARE(box.geometry().center(), owner.frameGeometry().center());
        owner.move(owner.pos() + QPoint(37, 23));
        QTRY_COMPARE(box.geometry().center(), owner.frameGeometry().center());
        box.ShowWaitBox(false, false);
        box.ShowWaitBox(false, false);
        QVERIFY(!box.isVisible());
        QVERIFY(!box.findChild<WaitAnimation*>("Animate1")->isRunning());
    }

    void statusLineKeepsItsTextAcrossShowings()
    {
        TWaitForm box;
        box.SetWaitText(QStringLiteral("Loading info.."));
        QVERIFY(!box.isVisible());
        box.ShowWaitBox(true, false);
        box.ShowWaitBox(false, false);
        box.ShowWaitBox(true, false);
        QCOMPARE(box.findChild<QLabel*>("Label2")->text(), QStringLiteral("Loading info.."));
        box.ShowWaitBox(false, false);
    }

    void cancelIsRaisedByTheButtonAndLoweredByShowing()
    {
        TWaitForm box;
        box.ShowWaitBox(true, true);
        QVERIFY(!box.CancelRequested());
        box.setProgress(3, 10, QStringLiteral("/decks/third.pptx"));
        QCOMPARE(box.findChild<QProgressBar*>("ProgressBar")->text(), QStringLiteral("3 of 10"));
        QCOMPARE(box.findChild<QLabel*>("CurrentFile")->text(), QStringLiteral("third.pptx"));
        box.findChild<QToolButton*>("SpeedButton1")->click();
        QVERIFY(box.CancelRequested());
        box.ShowWaitBox(false, false);
        box.ShowWaitBox(true, true);
        QVERIFY(!box.CancelRequested());
        box.ShowWaitBox(false, false);
    }

    void cancelStopsTheAddWhereItWasRequested()
    {
        const testsupport::TempDir dir;
        for (const char* name : {"a.pptx", "b.pptx", "folder/c.pptx", "folder/d.pptx", "e.pptx"}) {
            apptest::WritePackage(dir / name, name);
        }
        const std::vector<AddItem> items{{(dir / "a.pptx").string(), AddItem::Kind::File},
                                         {(dir / "b.pptx").string(), AddItem::Kind::File},
                                         {(dir / "folder").string(), AddItem::Kind::Folder},
                                         {(dir / "e.pptx").string(), AddItem::Kind::File}};
        const auto namesAdded = [&](std::size_t cancelAfter) {
            std::atomic<bool> cancel{cancelAfter == 0};
            std::size_t reported = 0;
            engine::Progress progress;
            progress.CancelRequested = &cancel;
            progress.OnProgress = [&](std::size_t, std::size_t, const std::string&) {
                if (++reported == cancelAfter) {
                    cancel = true;
                }
            };
            engine::VectorDocumentList list;
            AddItems(list, items, progress);
            QStringList names;
            for (std::size_t row = 0; row < list.RowCount(); ++row) {
                names << QString::fromStdString(list.RecordAt(row).FileName);
            }
            return names;
        };
        QCOMPARE(namesAdded(99), (QStringList{"a.pptx", "b.pptx", "c.pptx", "d.pptx", "e.pptx"}));
        QCOMPARE(namesAdded(3), (QStringList{"a.pptx", "b.pptx", "c.pptx"}));
        QCOMPARE(namesAdded(1), QStringList{"a.pptx"});
        QCOMPARE(namesAdded(0), QStringList{});
    }
};

QTEST_MAIN(WaitFormTest)
#include "WaitFormTest.moc"
