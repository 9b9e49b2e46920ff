// What the window remembers between runs: its geometry and the grid's column order and widths.
#include "app/AppSettings.h"
#include "app/DocumentGrid.h"
#include "app/TfmMain.h"
#include "editing/ScreenFit.h"

#include <QHeaderView>

namespace app {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kColumnsKey = QStringLiteral("window/columns");

} // namespace

void TfmMain::restoreSettings()
{
    const std::unique_ptr<QSettings> settings = AppSettings();
    restoreGeometry(settings->value(kGeometryKey).toByteArray());
    // The geometry may come from a larger screen, or one that is gone, or another scale.
    editing::FitOnScreen(*this);
    const QByteArray columns = settings->value(kColumnsKey).toByteArray();
    QHeaderView* header = m_grid->horizontalHeader();
    const int count = header->count();
    // A layout saved for another set of columns is not applied.
    if (!columns.isEmpty() && (!header->restoreState(columns) || header->count() != count)) {
        LoadColumnConfig();
    }
}

void TfmMain::saveSettings() const
{
    const std::unique_ptr<QSettings> settings = AppSettings();
    settings->setValue(kGeometryKey, saveGeometry());
    settings->setValue(kColumnsKey, m_grid->horizontalHeader()->saveState());
}

} // namespace app
