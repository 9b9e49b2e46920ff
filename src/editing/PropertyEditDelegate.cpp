#include "editing/PropertyEditDelegate.h"

#include "editing/PropertyEditorWidget.h"
#include "editing/QtText.h"
#include "engine/record/PropertyValueRule.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QUndoStack>

namespace editing {

namespace {

const QKeySequence kRedoKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);

bool IsUndoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent& key)
{
    return QKeySequence(key.keyCombination()) == kRedoKeys;
}

// Enter (either key) and the up and down arrows, with no modifier but the keypad's.
std::optional<int> NavigationStep(const QKeyEvent& key)
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return std::nullopt;
    }
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        return 1;
    case Qt::Key_Up:
        return -1;
    default:
        return std::nullopt;
    }
}

// Editors are children of the view's viewport.
QAbstractItemView* ViewOf(QWidget* editor)
{
    QWidget* viewport = editor->parentWidget();
    return viewport != nullptr ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
}

} // namespace

QWidget* PropertyEditDelegate::createEditor(QWidget* parent,
                                            const QStyleOptionViewItem& /*option*/,
                                            const QModelIndex& index) const
{
    const auto p = propertyOf(index);
    if (!p) {
        return nullptr;
    }
    QWidget* editor = CreatePropertyEditor(*p, parent);
    AsPropertyEditor(editor)->setCell(index);
    return editor;
}

void PropertyEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (PropertyEditorWidget* cell = AsPropertyEditor(editor)) {
        cell->openWith(index.data(Qt::EditRole).toString());
    }
}

void PropertyEditDelegate::setModelData(QWidget* editor,
                                        QAbstractItemModel* model,
                                        const QModelIndex& index) const
{
    const PropertyEditorWidget* cell = AsPropertyEditor(editor);
    const auto p = propertyOf(index);
    if (cell == nullptr || !p) {
        return;
    }
    finishEdit(*model, index, *p, cell->currentText().toStdString(), cell->isChangedSinceOpen());
}

void PropertyEditDelegate::updateEditorGeometry(QWidget* editor,
                                                const QStyleOptionViewItem& option,
                                                const QModelIndex& /*index*/) const
{
    // Exactly the cell: from its left edge to the right edge of its column.
    editor->setGeometry(option.rect);
}

bool PropertyEditDelegate::isStackKey(const PropertyEditorWidget& editor, const QKeyEvent& key) const
{
    const QUndoStack* stack = undoStack();
    if (stack == nullptr || editor.isChangedSinceOpen() || editor.isPopupOpen()) {
        return false;
    }
    return (IsUndoKey(key) && stack->canUndo()) || (IsRedoKey(key) && stack->canRedo());
}

bool PropertyEditDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    const PropertyEditorWidget* cell = AsPropertyEditor(object);
    if (editor == nullptr || cell == nullptr) {
        return QStyledItemDelegate::eventFilter(object, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // An unchanged editor lets the undo keys through to the press below instead of its own
        // (empty) typing history.
        if (isStackKey(*cell, *static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto& key = *static_cast<QKeyEvent*>(event);
        if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
            return true;
        }
        if (isStackKey(*cell, key)) {
            QUndoStack* stack = undoStack();
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            IsUndoKey(key) ? stack->undo() : stack->redo();
            return true;
        }
        if (leavesTheView(editor, key)) {
            return true;
        }
        if (const auto step = NavigationStep(key); step && !cell->isPopupOpen()) {
            moveToNeighbour(editor, *cell, *step);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

bool PropertyEditDelegate::leavesTheView(QWidget* editor, QKeyEvent& key)
{
    QAbstractItemView* view = ViewOf(editor);
    const bool tab = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
    if (!tab || view == nullptr || view->tabKeyNavigation() ||
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != Qt::NoModifier) {
        return false;
    }
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    // The view hands the focus on along the window's tab order.
    QCoreApplication::sendEvent(view, &key);
    return true;
}

void PropertyEditDelegate::moveToNeighbour(QWidget* editor, const PropertyEditorWidget& cell, int step)
{
    const QPersistentModelIndex index = cell.cell();
    QAbstractItemView* view = ViewOf(editor);
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (view == nullptr || !index.isValid()) {
        return;
    }
    const int row = index.row() + step;
    // Focusing the neighbour opens its editor; past either end no row keeps the focus.
    if (row >= 0 && row < index.model()->rowCount(index.parent())) {
        view->setCurrentIndex(index.sibling(row, index.column()));
    } else {
        view->setCurrentIndex(QModelIndex());
    }
}

} // namespace editing
