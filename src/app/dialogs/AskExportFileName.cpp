#include "app/dialogs/AskExportFileName.h"

#include "app/dialogs/Dialogs.h"
#include "editing/QtText.h"
#include "export/ExportFormat.h"
#include "export/ExportTarget.h"
#include "export/SpreadsheetFileName.h"

#include <QFileInfo>

namespace app {

namespace {

using exporting::ExportFormat;

// The extensions the export formats write under (lower case, without the dot); a name ending in
// another format's is asked about, since its content would not be what the extension says.
struct FormatExtension
{
    ExportFormat Format;
    const char* Extension;
};

constexpr FormatExtension kFormatExtensions[] = {
    {ExportFormat::Html, "htm"}, {ExportFormat::Html, "html"},        {ExportFormat::Text, "txt"},
    {ExportFormat::Xml, "xml"},  {ExportFormat::Spreadsheet, "xlsx"}, {ExportFormat::Spreadsheet, "xls"},
    {ExportFormat::Csv, "csv"},
};

const FormatExtension* FormatOfExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatExtension& entry : kFormatExtensions) {
        if (suffix == QLatin1String(entry.Extension)) {
            return &entry;
        }
    }
    return nullptr;
}

// "XML File": the description of the format's file dialog filter.
QString KindOf(ExportFormat format)
{
    return editing::ToQString(exporting::TextsOf(format).Filter).section(QLatin1Char('|'), 0, 0);
}

// The name with the format's extension: as typed when it has it, with it added when the name has
// none of the formats', and with it instead of another format's when the user says so. Empty when
// the user stops.
QString WithFormatExtension(QWidget* parent, ExportFormat format, const QString& path)
{
    const QString extension = editing::ToQString(exporting::TextsOf(format).Extension);
    const FormatExtension* named = FormatOfExtension(path);
    if (named == nullptr) {
        return path + extension;
    }
    if (named->Format == format) {
        return path;
    }
    const QFileInfo typed(path);
    const QString renamed = path.left(path.size() - typed.suffix().size() - 1) + extension;
    const QString question = QStringLiteral("%1 ends in .%2, the extension of a %3, but this export writes a "
                                            "%4. Write it as %5?")
                                 .arg(typed.fileName(), typed.suffix(), KindOf(named->Format), KindOf(format),
                                      QFileInfo(renamed).fileName());
    if (!Dialogs::ask(parent, editing::ToQString(exporting::kWarningCaption), question,
                      QStringLiteral("Write %1").arg(QFileInfo(renamed).fileName()),
                      QStringLiteral("Cancel"))) {
        return {};
    }
    return renamed;
}

} // namespace

QString
AskExportFileName(QWidget* parent, exporting::ExportFormat format, const std::vector<std::string>& packages)
{
    const exporting::ExportFormatTexts texts = exporting::TextsOf(format);
    QString path = Dialogs::saveFileName(parent, editing::ToQString(texts.Extension),
                                         editing::ToQString(texts.Filter), QStringLiteral("export"));
    if (path.isEmpty()) {
        return {};
    }
    const auto refused = [&](const QString& target) {
        const auto problem = exporting::ExportTargetProblem(format, target.toStdString(), packages);
        if (problem) {
            Dialogs::warning(parent, editing::ToQString(exporting::kWarningCaption),
                             editing::ToQString(*problem));
        }
        return problem.has_value();
    };
    // A package's name is refused as typed, before any question about its extension.
    if (refused(path)) {
        return {};
    }
    path = WithFormatExtension(parent, format, path);
    if (path.isEmpty()) {
        return {};
    }
    if (format == exporting::ExportFormat::Spreadsheet) {
        path = editing::ToQString(exporting::SpreadsheetFileName(path.toStdString()));
    }
    if (refused(path)) {
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
