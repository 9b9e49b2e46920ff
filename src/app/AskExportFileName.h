#pragma once

#include "export/ExportFormat.h"

#include <QString>

class QWidget;

namespace app {

// The target of an export: the save dialog with the format's default extension and filter, then,
// for an existing file, the overwrite question. A workbook typed with ".xls" is asked about and
// written under its ".xlsx" name. Empty when the user stops. The old file is left in place: the
// export replaces it only once the new content is complete.
QString AskExportFileName(QWidget* parent, exporting::ExportFormat format);

} // namespace app
