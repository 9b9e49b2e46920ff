// Paths given on the command line: added as Add File and Add Folder would add them.
#include "app/window/TfmMain.h"
#include "engine/adding/ScanFolder.h"

#include <QFileInfo>
#include <QStringList>

namespace app {

void TfmMain::openPaths(const QStringList& paths)
{
    std::vector<AddItem> items;
    QStringList skipped;
    for (const QString& path : paths) {
        const std::string absolute = QFileInfo(path).absoluteFilePath().toStdString();
        const engine::PathOnDisk found = engine::InspectPath(absolute);
        if (found.What == engine::PathOnDisk::Kind::Folder) {
            items.push_back({absolute, AddItem::Kind::Folder});
        } else if (found.What == engine::PathOnDisk::Kind::Missing) {
            skipped << QStringLiteral("%1: does not exist").arg(path);
        } else if (found.What == engine::PathOnDisk::Kind::Other) {
            skipped << QStringLiteral("%1: not a file or folder").arg(path);
        } else if (found.File->Size <= engine::kMinPackageSize) {
            skipped << QStringLiteral("%1: too small to be a package (%2 bytes or less)")
                           .arg(path)
                           .arg(engine::kMinPackageSize);
        } else {
            items.push_back({absolute, AddItem::Kind::File});
        }
    }
    QString warning;
    if (!skipped.isEmpty()) {
        warning = QStringLiteral("These paths were not added:\n\n") + skipped.join(QLatin1Char('\n'));
    }
    addItems(std::move(items), warning);
}

} // namespace app
