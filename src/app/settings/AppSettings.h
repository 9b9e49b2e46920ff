#pragma once

#include <QSettings>

#include <memory>

namespace app {

// What the program remembers between runs (window geometry, the grid's column order and widths,
// the folder each file dialog was last used in), in the user's configuration folder.
std::unique_ptr<QSettings> AppSettings();

} // namespace app
