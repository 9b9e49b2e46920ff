#include "AppTestSupport.h"

#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/ScreenFit.h"
#include "support/PackageBuilder.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace apptest {

namespace {

// Every test program keeps its settings in a folder of its own that is removed at exit, so no run
// reads what another wrote, nor the user's own settings.
void UseTemporarySettings()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

// The windows of a test program are fitted to their screen as the program's are.
void FitWindowsOnScreen()
{
    editing::ScreenFit::install();
}

const char* const kSmallScreenVariable = "VELMORA_TEST_SMALL_SCREEN";

} // namespace

Q_COREAPP_STARTUP_FUNCTION(UseTemporarySettings)
Q_COREAPP_STARTUP_FUNCTION(FitWindowsOnScreen)

void WritePackage(const std::filesystem::path& path, const std::string& title, const std::string& company)
{
    using testsupport::PackageBuilder;
    PackageBuilder builder = PackageBuilder::Presentation(
        testsupport::CoreXml("<dc:title>" + title + "</dc:title><dc:creator>Tester</dc:creator>"),
        testsupport::AppXml("<Company>" + company + "</Company>"));
    builder.Add("ppt/media/padding.bin", std::string(700, 'x'), PackageBuilder::Method::Stored);
    builder.WriteTo(path);
}

bool WaitForCommand(app::TfmMain& window)
{
    if (!window.isBusy()) {
        return true;
    }
    QSignalSpy finished(&window, &app::TfmMain::commandFinished);
    return finished.wait(60000) || !window.isBusy();
}

bool OpenWindow(std::unique_ptr<app::TfmMain>& window)
{
    window = std::make_unique<app::TfmMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return false;
    }
    QApplication::setActiveWindow(window.get());
    app::Dialogs::takeShownMessages();
    return true;
}

QString Native(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

void OpenMainWindow(std::unique_ptr<app::TfmMain>& window)
{
    QVERIFY(OpenWindow(window));
}

void CloseMainWindow(std::unique_ptr<app::TfmMain>& window)
{
    QStringList unexpected;
    for (const auto& message : app::Dialogs::takeShownMessages()) {
        unexpected << message.title + QStringLiteral(": ") + message.text;
    }
    // A command still on its worker reads the rows: they go only when it has finished.
    QTRY_VERIFY_WITH_TIMEOUT(!window->isBusy(), 60000);
    window->model().clearRows();
    window.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}

std::string CellOf(const app::TfmMain& window, int row, int column)
{
    const auto& model = window.model();
    return model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString();
}

std::vector<std::string> FileNames(const app::TfmMain& window)
{
    std::vector<std::string> names;
    for (int row = 0; row < window.model().rowCount(); ++row) {
        names.push_back(CellOf(window, row, 0));
    }
    return names;
}

WindowTest::WindowTest() = default;

WindowTest::~WindowTest() = default;

void WindowTest::initTestCase()
{
    app::Dialogs::setTestMode(true);
}

void WindowTest::init()
{
    m_dir = std::make_unique<testsupport::TempDir>();
    QVERIFY(OpenWindow(m_window));
}

void WindowTest::cleanup()
{
    // A command still on its worker reads the rows: they go only when it has finished.
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isBusy(), 60000);
    m_window->model().clearRows();
    m_window.reset();
    m_dir.reset();
    app::Dialogs::takeShownMessages();
    app::Dialogs::takeOpenedUrls();
}

bool OnSmallScreen()
{
    return qEnvironmentVariableIsSet(kSmallScreenVariable);
}

QString RunOnSmallScreen()
{
    QTemporaryDir folder;
    QFile config(folder.filePath(QStringLiteral("screen.json")));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 800, "height": 600,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0) {
        return QStringLiteral("cannot write the screen configuration");
    }
    config.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QStringLiteral("offscreen:configfile=") + config.fileName());
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QString::fromLatin1(kSmallScreenVariable), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(QTest::currentTestFunction())});
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return QStringLiteral("the run on the small screen did not end");
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        return QString::fromLocal8Bit(child.readAll());
    }
    return {};
}

} // namespace apptest
