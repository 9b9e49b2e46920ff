#include "app/dialogs/AskExportFileName.h"

#include "app/dialogs/Dialogs.h"
#include "editing/QtText.h"
#include "export/ExportFormat.h"
#include "export/ExportTarget.h"
#include "export/SpreadsheetFileName.h"

#include <QFileInfo>

namespace app {

QString
AskExportFileName(QWidget* parent, exporting::ExportFormat format, const std::vector<std::string>& packages)
{
    const exporting::ExportFormatTexts texts = exporting::TextsOf(format);
    QString path = Dialogs::saveFileName(parent, editing::ToQString(texts.Extension),
                                         editing::ToQString(texts.Filter), QStringLiteral("export"));
    if (path.isEmpty()) {
        return {};
    }
    if (format == exporting::ExportFormat::Spreadsheet) {
        path = editing::ToQString(exporting::SpreadsheetFileName(path.toStdString()));
    }
    if (const auto problem = exporting::ExportTargetProblem(format, path.toStdString(), packages)) {
        Dialogs::warning(parent, editing::ToQString(exporting::kWarningCaption),
                         editing::ToQString(*problem));
        return {};
    }
    if (QFileInfo::exists(path) &&
        Dialogs::question(parent, editing::ToQString(exporting::kWarningCaption),
                          editing::ToQString(exporting::kOverwriteQuestion)) != QMessageBox::Yes) {
        return {};
    }
    return path;
}

} // namespace app
