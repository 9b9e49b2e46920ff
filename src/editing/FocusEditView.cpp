#include "editing/FocusEditView.h"

#include "editing/PropertyEditorWidget.h"

#include <QDateTimeEdit>
#include <QLineEdit>
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

QModelIndex FocusEditView::pendingEditCell() const
{
    if (state() != QAbstractItemView::EditingState) {
        return {};
    }
    const auto children = viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const PropertyEditorWidget* editor = AsPropertyEditor(child);
        if (editor == nullptr || !child->isVisible() || !editor->cell().isValid() ||
            !editor->isChangedSinceOpen()) {
            continue;
        }
        // Typed back to the cell's own text is no change.
        if (editor->currentText() != editor->cell().data(Qt::EditRole).toString()) {
            return editor->cell();
        }
    }
    return {};
}

void FocusEditView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    emit pendingEditChanged();
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
    if (!QTableView::edit(index, trigger, event)) {
        return false;
    }
    // Whoever counts pending changes hears of each change of the open editor's text.
    QWidget* editor = indexWidget(index);
    if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        connect(box, &QLineEdit::textChanged, this, &FocusEditView::pendingEditChanged, Qt::UniqueConnection);
    } else if (auto* date = qobject_cast<QDateTimeEdit*>(editor)) {
        connect(date, &QDateTimeEdit::dateTimeChanged, this, &FocusEditView::pendingEditChanged,
                Qt::UniqueConnection);
    }
    return true;
}

void FocusEditView::mousePressEvent(QMouseEvent* event)
{
    m_rightPress = event->button() == Qt::RightButton;
    QTableView::mousePressEvent(event);
    m_rightPress = false;
}

} // namespace editing
