#include "app/AskExportFileName.h"

#include "app/Dialogs.h"
#include "export/ExportFormat.h"

#include <QFileInfo>

namespace app {

namespace {

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString AskExportFileName(QWidget* parent, std::string_view extension, std::string_view filter)
{
    const QString path = Dialogs::saveFileName(parent, FromView(extension), FromView(filter));
    if (path.isEmpty()) {
        return {};
    }
    if (QFileInfo::exists(path) &&
        Dialogs::question(parent, FromView(exporting::kWarningCaption),
                          FromView(exporting::kOverwriteQuestion)) != QMessageBox::Yes) {
        return {};
    }
    return path;
}

} // namespace app
