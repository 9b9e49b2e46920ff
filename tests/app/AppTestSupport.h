#pragma once

#include <QString>

#include <filesystem>
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

// Takes the message boxes shown since the last take: empty when there were none, otherwise one line
// per box with its title and text.
QString TakeShownMessages();

// The text a cell of the window's grid shows.
std::string CellOf(const app::TfmMain& window, int row, int column);

} // namespace apptest
