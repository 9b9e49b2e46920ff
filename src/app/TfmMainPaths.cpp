// Paths given on the command line: added as Add File and Add Folder would add them.
#include "app/TfmMain.h"
#include "engine/adding/ScanFolder.h"

#include <QFileInfo>

namespace app {

void TfmMain::openPaths(const QStringList& paths)
{
    std::vector<AddItem> items;
    QStringList skipped;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            items.push_back({info.absoluteFilePath().toStdString(), AddItem::Kind::Folder});
        } else if (!info.exists()) {
            skipped << QStringLiteral("%1: does not exist").arg(path);
        } else if (static_cast<std::uint64_t>(info.size()) <= engine::kMinPackageSize) {
            skipped << QStringLiteral("%1: too small to be a package (%2 bytes or less)")
                           .arg(path)
                           .arg(engine::kMinPackageSize);
        } else {
            items.push_back({info.absoluteFilePath().toStdString(), AddItem::Kind::File});
        }
    }
    QString warning;
    if (!skipped.isEmpty()) {
        warning = QStringLiteral("These paths were not added:\n\n") + skipped.join(QLatin1Char('\n'));
    }
    addItems(std::move(items), warning);
}

} // namespace app
