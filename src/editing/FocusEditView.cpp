#include "editing/FocusEditView.h"

#include <QMouseEvent>

namespace editing {

void FocusEditView::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    // Delegate editors are direct children of the viewport; nothing else is placed there.
    const auto children = viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* editor : children) {
        if (editor->isVisible()) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

void FocusEditView::keyboardSearch(const QString& search)
{
    m_searching = true;
    QTableView::keyboardSearch(search);
    m_searching = false;
}

bool FocusEditView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger == CurrentChanged && (m_rightPress || m_searching)) {
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void FocusEditView::mousePressEvent(QMouseEvent* event)
{
    m_rightPress = event->button() == Qt::RightButton;
    QTableView::mousePressEvent(event);
    m_rightPress = false;
}

} // namespace editing
