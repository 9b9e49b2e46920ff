// What the window remembers between runs: its geometry, where the Details pane sits, and the grid's
// column order and widths.
#include "app/details/DetailsPane.h"
#include "app/grid/DocumentGrid.h"
#include "app/settings/AppSettings.h"
#include "app/window/TfmMain.h"
#include "editing/ScreenFit.h"

#include <QAction>
#include <QHeaderView>

namespace app {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kColumnsKey = QStringLiteral("window/columns");
const QString kDocksKey = QStringLiteral("window/docks");

} // namespace

void TfmMain::restoreSettings()
{
    const std::unique_ptr<QSettings> settings = AppSettings();
    restoreGeometry(settings->value(kGeometryKey).toByteArray());
    // The geometry may come from a larger screen, or one that is gone, or another scale.
    editing::FitOnScreen(*this);
    // The pane's place and size; whether it shows is the View menu's setting.
    restoreState(settings->value(kDocksKey).toByteArray());
    m_details->setVisible(findChild<QAction*>(QStringLiteral("actDetails"))->isChecked());
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
    settings->setValue(kDocksKey, saveState());
    settings->setValue(kColumnsKey, m_grid->horizontalHeader()->saveState());
}

} // namespace app
