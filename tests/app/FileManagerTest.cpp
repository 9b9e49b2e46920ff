// Open Containing Folder: the file selected through the desktop's file manager service on the
// desktop's message bus, else its folder handed to the desktop, else a message naming the folder.
#include "AppTestSupport.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

using namespace app;

namespace {

// Stands in for a file manager: records the items it is asked to show, or refuses them.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;
    bool refuse = false;

public slots:

    void ShowItems(const QStringList& uris, const QString& /*startupId*/)
    {
        if (refuse) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show them"));
            return;
        }
        shown += uris;
    }
};

} // namespace

class FileManagerTest : public apptest::WindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_busFolder;
    QProcess m_bus;
    QString m_busAddress;
    QString m_path;

    void addPackageAndSelectIt()
    {
        m_path = QString::fromStdString((*m_dir / "shown.pptx").string());
        apptest::WritePackage(m_path.toStdString(), "shown");
        Dialogs::setNextFileNames({m_path});
        m_window->findChild<QToolButton*>(QStringLiteral("BitBtn1"))->click();
        QVERIFY(apptest::WaitForCommand(*m_window));
        m_window->grid().setCurrentIndex(m_window->view().index(0, 0));
    }

    void openContainingFolder()
    {
        m_window->findChild<QAction*>(QStringLiteral("actOpenContainingFolder"))->trigger();
    }

    QString folder() const { return QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()); }

private slots:

    // A private message bus for the cases with a file manager service; none when no dbus-daemon.
    void initTestCase()
    {
        Dialogs::setTestMode(true);
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            return;
        }
        // A bus of its own: listening in a temporary folder, every name and message allowed.
        const QString config = m_busFolder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!m_busFolder.isValid() || !file.open(QIODevice::WriteOnly)) {
            return;
        }
        file.write(
            "<busconfig><listen>unix:tmpdir=" + m_busFolder.path().toUtf8() +
            "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
            "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        m_bus.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                             QStringLiteral("--print-address")});
        if (m_bus.waitForStarted() && m_bus.waitForReadyRead(10000)) {
            m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
        }
    }

    void cleanupTestCase()
    {
        Dialogs::setTestBus({});
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.kill();
            m_bus.waitForFinished();
        }
    }

    void withoutAFileManagerTheFolderGoesToTheDesktop_data()
    {
        QTest::addColumn<bool>("onABus");
        QTest::addColumn<bool>("desktopOpens");
        QTest::newRow("no bus, nothing opens") << false << false;
        QTest::newRow("no bus, the desktop opens it") << false << true;
        QTest::newRow("a bus without a file manager, nothing opens") << true << false;
    }

    void withoutAFileManagerTheFolderGoesToTheDesktop()
    {
        QFETCH(bool, onABus);
        QFETCH(bool, desktopOpens);
        if (onABus && m_busAddress.isEmpty()) {
            QSKIP("no dbus-daemon to run a private message bus");
        }
        Dialogs::setTestBus(onABus ? m_busAddress : QString());
        addPackageAndSelectIt();
        Dialogs::setNextOpenUrlResult(desktopOpens);
        openContainingFolder();
        QList<QUrl> opened;
        QTRY_VERIFY(!(opened += Dialogs::takeOpenedUrls()).isEmpty());
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(m_path).absolutePath())});
        const auto messages = Dialogs::takeShownMessages();
        if (desktopOpens) {
            QVERIFY(messages.isEmpty());
            return;
        }
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text,
                 QStringLiteral("No file manager could be started to show the folder %1").arg(folder()));
    }

    void aFileManagerOnTheBusShowsTheFileSelected_data()
    {
        QTest::addColumn<bool>("refuses");
        QTest::newRow("shows it") << false;
        QTest::newRow("refuses: the folder goes to the desktop") << true;
    }

    void aFileManagerOnTheBusShowsTheFileSelected()
    {
        QFETCH(bool, refuses);
        if (m_busAddress.isEmpty()) {
            QSKIP("no dbus-daemon to run a private message bus");
        }
        QDBusConnection service =
            QDBusConnection::connectToBus(m_busAddress, QStringLiteral("fakeFileManager"));
        QVERIFY(service.isConnected());
        FakeFileManager fake;
        fake.refuse = refuses;
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        const auto unregister = qScopeGuard([&service] {
            service.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
            service.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        });
        Dialogs::setTestBus(m_busAddress);
        addPackageAndSelectIt();
        Dialogs::setNextOpenUrlResult(true);
        openContainingFolder();
        if (refuses) {
            QList<QUrl> opened;
            QTRY_VERIFY(!(opened += Dialogs::takeOpenedUrls()).isEmpty());
            QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(m_path).absolutePath())});
            QVERIFY(fake.shown.isEmpty());
        } else {
            QTRY_COMPARE(fake.shown, QStringList{QUrl::fromLocalFile(m_path).toString()});
            QVERIFY(Dialogs::takeOpenedUrls().isEmpty());
        }
        QVERIFY(Dialogs::takeShownMessages().isEmpty());
    }
};

QTEST_MAIN(FileManagerTest)
#include "FileManagerTest.moc"
