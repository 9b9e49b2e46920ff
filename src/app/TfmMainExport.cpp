// The export menu: every row and every column (hidden ones included) in column-index order.
#include "app/AskExportFileName.h"
#include "app/Dialogs.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "export/GridSnapshot.h"
#include "export/WriteSpreadsheet.h"

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

void TfmMain::exportGrid(exporting::ExportFormat format)
{
    if (m_busy) {
        return;
    }
    runCommand([&] {
        if (format == exporting::ExportFormat::Spreadsheet &&
            !exporting::FitsSpreadsheet(m_model->RowCount())) {
            Dialogs::warning(
                this, QStringLiteral("Warning"),
                QString::fromUtf8(exporting::kRowCountOutOfRange.data(),
                                  static_cast<qsizetype>(exporting::kRowCountOutOfRange.size())));
            return;
        }
        const QString path = AskExportFileName(this, format);
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
        auto grid =
            std::make_shared<const exporting::GridSnapshot>(exporting::SnapshotOf(*m_model, captions));
        runLongCommand([exporter = m_exporter, format, grid, target = path.toStdString()](
                           const engine::Progress& /*progress*/) { exporter(format, *grid, target); },
                       [] { return QString(); }, false);
    });
}

} // namespace app
