#include "app/DocumentGrid.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QKeyEvent>

namespace app {

DocumentGrid::DocumentGrid(QWidget* parent)
    : FocusEditView(parent)
{
    setObjectName(QStringLiteral("VT"));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(20);

    QHeaderView* columns = horizontalHeader();
    columns->setFixedHeight(17);
    columns->setSectionsMovable(true);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    // QTableView fits a column to its texts when its divider is double-clicked.
}

void DocumentGrid::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && current.isValid() &&
        state() != QAbstractItemView::EditingState) {
        const QModelIndex box = current.siblingAtColumn(0);
        const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model()->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        event->accept();
        return;
    }
    FocusEditView::keyPressEvent(event);
}

void DocumentGrid::setCellDelegate(QAbstractItemDelegate* delegate)
{
    delegate->setParent(this);
    setItemDelegate(delegate);
}

} // namespace app
