#pragma once

#include <QString>

#include <filesystem>
#include <memory>
#include <string>

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

// The text a cell of the window's grid shows.
std::string CellOf(const app::TfmMain& window, int row, int column);

} // namespace apptest
