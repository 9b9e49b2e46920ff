#include "AppTestSupport.h"

#include "app/Dialogs.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "support/PackageBuilder.h"

#include <QSignalSpy>
#include <QTest>

namespace apptest {

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

void OpenMainWindow(std::unique_ptr<app::TfmMain>& window)
{
    window = std::make_unique<app::TfmMain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    app::Dialogs::takeShownMessages();
}

void CloseMainWindow(std::unique_ptr<app::TfmMain>& window)
{
    QStringList unexpected;
    for (const auto& message : app::Dialogs::takeShownMessages()) {
        unexpected << message.title + QStringLiteral(": ") + message.text;
    }
    window->model().clearRows();
    window.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}

std::string CellOf(const app::TfmMain& window, int row, int column)
{
    const auto& model = window.model();
    return model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString();
}

} // namespace apptest
