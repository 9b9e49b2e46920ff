#include "app/TfmMain.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Sizes are shown with the user's digit grouping and decimal mark, which the engine takes from
    // the C locale.
    std::setlocale(LC_ALL, "");
    app::TfmMain fmMain;
    fmMain.show();
    return QApplication::exec();
}
