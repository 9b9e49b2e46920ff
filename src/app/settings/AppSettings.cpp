#include "app/settings/AppSettings.h"

namespace app {

std::unique_ptr<QSettings> AppSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Velmora"), QStringLiteral("velmora"));
}

} // namespace app
