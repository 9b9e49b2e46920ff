#pragma once

#include "support/TempDir.h"

#include <QApplication>
#include <QObject>
#include <QString>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace app {
class TfmMain;
}

namespace apptest {

// A small valid presentation with the given title and company, comfortably above the 512-byte
// minimum of an added package.
void WritePackage(const std::filesystem::path& path,
                  const std::string& title,
                  const std::string& company = {});

// Waits until the window's running long command has ended; false when it did not end in time.
bool WaitForCommand(app::TfmMain& window);

// Creates a main window, shows it and waits until it is exposed, with no message box pending.
void OpenMainWindow(std::unique_ptr<app::TfmMain>& window);

// Clears and closes the window; a message box shown since the test last took them fails the test,
// since a test that means to show one takes it.
void CloseMainWindow(std::unique_ptr<app::TfmMain>& window);
// Creates the main window, shows it and makes it the active window; false when it never showed.
[[nodiscard]] bool OpenWindow(std::unique_ptr<app::TfmMain>& window);

// Answers the next modal dialog of type T with handle, once it is shown.
template <typename T> void WhenShown(std::function<void(T&)> handle)
{
    QTimer::singleShot(0, [handle] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        handle(*dialog);
    });
}

// True in a run on a small screen: 800 by 600 pixels at twice the scale, so 400 by 300 for the
// windows.
[[nodiscard]] bool OnSmallScreen();

// Runs the current test function again in a child process on such a screen; empty when it passed,
// else the child's output.
[[nodiscard]] QString RunOnSmallScreen();

// A path as the window's dialogs hand it over.
QString Native(const std::filesystem::path& path);

// The text a cell of the window's grid shows.
std::string CellOf(const app::TfmMain& window, int row, int column);

// The file names of the grid's rows, in row order.
std::vector<std::string> FileNames(const app::TfmMain& window);

// A test class that drives a fresh main window and a fresh temporary folder in every test function,
// with every dialog answered in advance; what a function leaves unanswered does not reach the next.
class WindowTest : public QObject
{
    Q_OBJECT

public:
    WindowTest();
    ~WindowTest() override;

protected:
    std::unique_ptr<testsupport::TempDir> m_dir;
    std::unique_ptr<app::TfmMain> m_window;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};

} // namespace apptest
