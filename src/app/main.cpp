#include "app/TfmMain.h"

#include <QApplication>

#include <clocale>

// velmora [PATH...]: the paths are added as rows once the window is up.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    // Sizes are shown with the user's digit grouping and decimal mark, which the engine takes from
    // the C locale.
    std::setlocale(LC_ALL, "");
    app::TfmMain fmMain;
    fmMain.show();
    const QStringList paths = QApplication::arguments().mid(1);
    if (!paths.isEmpty()) {
        fmMain.openPaths(paths);
    }
    return QApplication::exec();
}
