// The export menu: every row and every column (hidden ones included) in column-index order.
#include "app/dialogs/AskExportFileName.h"
#include "app/dialogs/Dialogs.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"
#include "editing/QtText.h"
#include "engine/base/Progress.h"
#include "engine/record/RowSubsetList.h"
#include "export/ExportSnapshot.h"
#include "export/WriteSpreadsheet.h"

#include <QDir>

#include <memory>

namespace app {

void TfmMain::ExportToExcel1Click()
{
    exportGrid(exporting::ExportFormat::Spreadsheet);
}

void TfmMain::ExportToHTML1Click()
{
    exportGrid(exporting::ExportFormat::Html);
}

void TfmMain::ExportToText1Click()
{
    exportGrid(exporting::ExportFormat::Text);
}

void TfmMain::ExportToXML1Click()
{
    exportGrid(exporting::ExportFormat::Xml);
}

void TfmMain::ExportToCsvClick()
{
    exportGrid(exporting::ExportFormat::Csv);
}

void TfmMain::exportGrid(exporting::ExportFormat format)
{
    runCommand([&] {
        // The rows shown, in the order shown: with no filter and no sort, every row in added order.
        std::vector<std::size_t> rows = m_view->rowsInShownOrder();
        if (format == exporting::ExportFormat::Spreadsheet && !exporting::FitsSpreadsheet(rows.size())) {
            Dialogs::warning(this, QStringLiteral("Warning"),
                             editing::ToQString(exporting::kRowCountOutOfRange));
            return;
        }
        std::vector<std::string> packages;
        for (const std::size_t row : rows) {
            packages.push_back(m_model->documents().RecordAt(row).FullPath);
        }
        const QString path = AskExportFileName(this, format, packages);
        if (path.isEmpty()) {
            return;
        }
        // The texts are taken here, on this thread; building and writing the file happen on a worker
        // while the window keeps painting. Captions come from the grid's columns, so they are the
        // configured names unchanged.
        std::vector<std::string> captions;
        for (const ColumnSetting& column : m_model->columns()) {
            captions.push_back(column.caption.toStdString());
        }
        // Taking the texts of 100,000 rows and writing them would freeze the window for seconds,
        // so both happen on a worker; while it runs nothing edits, adds or removes rows.
        const std::size_t count = rows.size();
        auto shown = std::make_shared<engine::RowSubsetList>(m_model->documents(), std::move(rows));
        auto written = std::make_shared<bool>(false);
        runLongCommand(
            [shown, exporter = m_exporter, format, captions = std::move(captions),
             withCustom = m_model->customColumnsShown(), target = path.toStdString(),
             withStatistics = m_model->statisticColumnsShown(), written](const engine::Progress&) {
                // The statistics columns are exported while the grid shows them.
                const std::span<const engine::Statistic> statistics =
                    withStatistics ? std::span<const engine::Statistic>(kStatisticColumns)
                                   : std::span<const engine::Statistic>();
                exporter(format, exporting::ExportSnapshot(format, *shown, captions, withCustom, statistics),
                         target);
                *written = true;
            },
            [this, written, count, path] {
                if (*written) {
                    showStatusMessage(QStringLiteral("Exported %1 %2 to %3")
                                          .arg(count)
                                          .arg(count == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
                                          .arg(QDir::toNativeSeparators(path)));
                }
                return QString();
            },
            false);
    });
}

} // namespace app
