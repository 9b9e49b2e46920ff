#include "app/TfmMain.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Qt sets the C locale from the environment only for LC_CTYPE; sizes are shown with the user's
    // digit grouping and decimal mark, so take the whole locale.
    std::setlocale(LC_ALL, "");
    app::TfmMain fmMain;
    fmMain.show();
    return QApplication::exec();
}
