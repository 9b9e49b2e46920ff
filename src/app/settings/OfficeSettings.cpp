#include "app/settings/OfficeSettings.h"

#include "app/settings/AppSettings.h"
#include "engine/adding/AddDocument.h"
#include "engine/package/OfficeExtensions.h"

#include <algorithm>

namespace app {

namespace {

const QString kFileTypesKey = QStringLiteral("Options/FileTypes");
const QString kShowCustomKey = QStringLiteral("Options/ShowCustomProperties");

bool IsOfficeExtension(const QString& extension)
{
    return std::any_of(engine::kOfficeExtensions.begin(), engine::kOfficeExtensions.end(),
                       [&](std::string_view known) { return extension.toStdString() == known; });
}

} // namespace

QStringList FileTypesSetting()
{
    QStringList extensions;
    // Entries written by another version or by hand that name no package kind are passed over.
    for (const QString& extension : AppSettings()->value(kFileTypesKey).toStringList()) {
        if (IsOfficeExtension(extension) && !extensions.contains(extension)) {
            extensions << extension;
        }
    }
    return extensions.isEmpty() ? QStringList{QStringLiteral("pptx")} : extensions;
}

void SetFileTypesSetting(const QStringList& extensions)
{
    AppSettings()->setValue(kFileTypesKey, extensions);
}

std::string ScanExtensionListSetting()
{
    const QStringList extensions = FileTypesSetting();
    return extensions == QStringList{QStringLiteral("pptx")}
               ? std::string(engine::kPackageExtensionList)
               : engine::ExtensionListOf(extensions.join(QLatin1Char(',')).toStdString());
}

bool ShowCustomPropertiesSetting()
{
    return AppSettings()->value(kShowCustomKey, false).toBool();
}

void SetShowCustomPropertiesSetting(bool shown)
{
    AppSettings()->setValue(kShowCustomKey, shown);
}

} // namespace app
