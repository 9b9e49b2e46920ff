#pragma once

#include "export/ExportFormat.h"

#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace app {

// The target of an export: the save dialog with the format's default extension and filter, then,
// for an existing file, the overwrite question. A workbook typed with ".xls" is asked about and
// written under its ".xlsx" name. Empty when the user stops. The old file is left in place: the
// export replaces it only once the new content is complete. A name an export must not take (one of
// the packages, or another package kind) is refused with a message, and nothing is written.
QString
AskExportFileName(QWidget* parent, exporting::ExportFormat format, const std::vector<std::string>& packages);

} // namespace app
