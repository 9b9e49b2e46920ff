// The export menu: every row and every column (hidden ones included) in column-index order.
#include "app/AskExportFileName.h"
#include "app/Dialogs.h"
#include "app/DocumentTableModel.h"
#include "app/TfmMain.h"
#include "export/CustomColumns.h"
#include "export/ExportToFile.h"
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
            Dialogs::warning(this, QStringLiteral("Warning"),
                             QString::fromUtf8(exporting::kRowCountOutOfRange.data(),
                                               exporting::kRowCountOutOfRange.size()));
            return;
        }
        const exporting::ExportFormatTexts texts = exporting::TextsOf(format);
        const QString path = AskExportFileName(this, texts.Extension, texts.Filter);
        if (path.isEmpty()) {
            return;
        }
        // Captions come from the grid's columns, so they are the configured names unchanged.
        std::vector<std::string> captions;
        for (const ColumnSetting& column : m_model->columns()) {
            captions.push_back(column.caption.toStdString());
        }
        exporting::GridSnapshot snapshot = exporting::SnapshotOf(*m_model, captions);
        if (m_model->customColumnsShown()) {
            exporting::AddCustomColumns(snapshot, *m_model);
        }
        exporting::ExportToFile(format, snapshot, path.toStdString());
    });
}

} // namespace app
