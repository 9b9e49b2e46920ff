#pragma once

#include "editing/FocusEditView.h"

class QAbstractItemDelegate;

namespace app {

// The document grid: flat rows of 20 pixels under a 17-pixel header, grid lines, whole-row
// selection with one focused cell, movable and resizable columns. A cell editor opens as soon as
// the focus enters an editable cell.
class DocumentGrid : public editing::FocusEditView
{
    Q_OBJECT

public:
    explicit DocumentGrid(QWidget* parent = nullptr);

    // Where the in-place editors plug in; the grid takes ownership.
    void setCellDelegate(QAbstractItemDelegate* delegate);

protected:
    // Space toggles the check box of the focused row, whichever cell of it has the focus.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace app
