#pragma once

#include "editing/FocusEditView.h"

class QAbstractItemDelegate;

namespace app {

// The document grid: flat rows of 20 pixels under a 17-pixel header, grid lines, whole-row
// selection of one or many rows (Shift and Ctrl) with one focused cell, movable and resizable
// columns. A cell editor opens as soon as the focus enters an editable cell. A click on a column's
// header sorts by it, a second reverses, a third returns to the order the rows were added.
class DocumentGrid : public editing::FocusEditView
{
    Q_OBJECT

public:
    explicit DocumentGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // Where the in-place editors plug in; the grid takes ownership.
    void setCellDelegate(QAbstractItemDelegate* delegate);
    // Puts widget into the header of logical column 0, at its left end, and keeps it there while
    // that column is scrolled, moved or resized.
    void placeInFirstColumnHeader(QWidget* widget);
    // The width a column needs so that its caption and, for a date column, a full date in the
    // current font are not cut.
    [[nodiscard]] int fittingWidth(int column) const;

signals:
    // Space: check (true) or uncheck every selected row, by the focused row's state.
    void checkSelectedRequested(bool check);

protected:
    // Space checks or unchecks the selected rows, whichever cell of the focused row has the focus.
    void keyPressEvent(QKeyEvent* event) override;
    // A cell whose text is cut short shows the whole text as its tooltip.
    bool viewportEvent(QEvent* event) override;

private:
    void placeHeaderWidget();
    void sortByHeader(int column);
    [[nodiscard]] int cellTextMargin() const;

    QWidget* m_headerWidget = nullptr;
    // The column the rows are sorted by (-1: added order) and in which direction.
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace app
