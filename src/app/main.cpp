#include "app/dialogs/AppInfo.h"
#include "app/window/TfmMain.h"
#include "editing/ScreenFit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <clocale>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kExitUsage = 2;

// The options QApplication takes for itself. They are known to the parser, so that it accepts
// them, but hidden from --help; the application gets them back (and only them) when it starts.
struct QtOption
{
    const char* name;
    bool takesValue;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowtitle", true},
    {"qwindowicon", true},     {"style", true},
    {"stylesheet", true},      {"display", true},
    {"geometry", true},        {"title", true},
    {"reverse", false},        {"widgetcount", false},
    {"nograb", false},         {"dograb", false},
    {"sync", false},
};

void AddQtOptions(QCommandLineParser& parser)
{
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue) {
            option.setValueName(QStringLiteral("value"));
        }
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The arguments QApplication is given: the program name and the Qt options that were used, so that
// a path (after "--" too) never reaches Qt's own parsing.
std::vector<QByteArray> QtArguments(const QCommandLineParser& parser, const char* program)
{
    std::vector<QByteArray> arguments{QByteArray(program)};
    for (const QtOption& qt : kQtOptions) {
        const QString name = QString::fromLatin1(qt.name);
        if (!parser.isSet(name)) {
            continue;
        }
        arguments.push_back(QByteArray("-") + qt.name);
        if (qt.takesValue) {
            arguments.push_back(parser.value(name).toLocal8Bit());
        }
    }
    return arguments;
}

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

// velmora [OPTION...] [PATH...]: the paths are added as rows once the window is up. The arguments
// are decided on before anything needs a display, so --help, --version and a mistake answer in a
// terminal without one.
int main(int argc, char* argv[])
{
    // A core application, gone before the window's starts, names the program in the help text;
    // it needs no display.
    std::optional<QCoreApplication> core;
    {
        static int coreArgc = 1;
        static char coreName[] = "velmora";
        static char* coreArgv[] = {coreName, nullptr};
        core.emplace(coreArgc, coreArgv);
    }
    QStringList given;
    for (int i = 0; i < argc; ++i) {
        given << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("View and bulk-edit the document properties of PowerPoint packages."));
    // Qt's options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    AddQtOptions(parser);
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("Packages and folders to add as rows (folders are searched "
                                                "recursively). Arguments after -- are paths."),
                                 QStringLiteral("[PATH...]"));
    if (!parser.parse(given)) {
        Print(stderr, QStringLiteral("velmora: %1\n\n%2").arg(parser.errorText(), parser.helpText()));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        Print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s\n", app::kVersionLine);
        return 0;
    }

    core.reset();
    std::vector<QByteArray> qtArguments = QtArguments(parser, argv[0]);
    std::vector<char*> qtArgv;
    for (QByteArray& argument : qtArguments) {
        qtArgv.push_back(argument.data());
    }
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size());
    QApplication application(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    // Every window, dialog and message box opens inside its screen.
    editing::ScreenFit::install();
    // Sizes are shown with the user's digit grouping and decimal mark, which the engine takes from
    // the C locale.
    std::setlocale(LC_ALL, "");
    app::TfmMain fmMain;
    fmMain.show();
    const QStringList paths = parser.positionalArguments();
    if (!paths.isEmpty()) {
        fmMain.openPaths(paths);
    }
    return QApplication::exec();
}
