#pragma once

#include <QTableView>

class QAbstractItemDelegate;

namespace app {

// The document grid: flat rows of 20 pixels under a 17-pixel header, grid lines, whole-row
// selection with one focused cell, movable and resizable columns. A cell editor opens as soon as
// the focus enters an editable cell.
class DocumentGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DocumentGrid(QWidget* parent = nullptr);

    // Stores what an open cell editor holds into the model and closes it; a no-op without one.
    void commitOpenEditor();
    // Where the in-place editors plug in; the grid takes ownership.
    void setCellDelegate(QAbstractItemDelegate* delegate);

protected:
    // Space toggles the check box of the focused row, whichever cell of it has the focus.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace app
