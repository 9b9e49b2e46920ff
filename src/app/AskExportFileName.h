#pragma once

#include <QString>

#include <string_view>

class QWidget;

namespace app {

// The target of an export: the save dialog with the format's default extension and filter, then,
// for an existing file, the overwrite question. Empty when the user stops. The old file is left in
// place: the export replaces it only once the new content is complete.
QString AskExportFileName(QWidget* parent, std::string_view extension, std::string_view filter);

} // namespace app
