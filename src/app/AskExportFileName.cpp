#include "app/AskExportFileName.h"

#include "app/Dialogs.h"
#include "export/ExportFormat.h"
#include "export/SpreadsheetFileName.h"

#include <QFileInfo>

namespace app {

namespace {

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AskExportFileName(QWidget* parent, exporting::ExportFormat format)
{
    const exporting::ExportFormatTexts texts = exporting::TextsOf(format);
    QString path = Dialogs::saveFileName(parent, FromView(texts.Extension), FromView(texts.Filter),
                                         QStringLiteral("export"));
    if (path.isEmpty()) {
        return {};
    }
    if (format == exporting::ExportFormat::Spreadsheet) {
        path = QString::fromStdString(exporting::SpreadsheetFileName(path.toStdString()));
    }
    if (QFileInfo::exists(path) &&
        Dialogs::question(parent, FromView(exporting::kWarningCaption),
                          FromView(exporting::kOverwriteQuestion)) != QMessageBox::Yes) {
        return {};
    }
    return path;
}

} // namespace app
