#include "EditingTestSupport.h"

#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "app/window/TfmMain.h"

#include <QApplication>
#include <QTest>

namespace editingtest {

std::unique_ptr<app::TfmMain> WindowWithRows(const std::vector<engine::DocumentRecord>& records)
{
    auto window = std::make_unique<app::TfmMain>();
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the window did not become active");
    }
    for (const engine::DocumentRecord& record : records) {
        app::DocumentTableModel& model = window->model();
        model.documents().AppendRow() = record;
        model.documents().SetCheckState(model.documents().RowCount() - 1, engine::kChecked);
    }
    return window;
}

engine::DocumentRecord Titled(const std::string& title)
{
    engine::DocumentRecord record;
    record.FileName = title + ".pptx";
    record.FullPath = "/nonexistent/" + record.FileName;
    record.Value(0) = title;
    return record;
}

QWidget* FocusCell(app::TfmMain& window, int row, int column)
{
    app::DocumentGrid& grid = window.grid();
    const QModelIndex cell = window.view().index(row, column);
    if (QWidget* open = EditorAt(window, row, column)) {
        return open;
    }
    grid.setFocus();
    if (grid.currentIndex() == cell) {
        grid.edit(cell);
    } else {
        grid.setCurrentIndex(cell);
    }
    return EditorAt(window, row, column);
}

QWidget* EditorAt(app::TfmMain& window, int row, int column)
{
    return window.grid().indexWidget(window.view().index(row, column));
}

} // namespace editingtest
