#pragma once

#include <QStyledItemDelegate>

#include <cstddef>
#include <optional>
#include <string>

class QKeyEvent;
class QUndoStack;

namespace editing {

class PropertyEditorWidget;

// What every property cell editor does, in the document grid and in the Batch Modify list: the
// editor is chosen by the catalogue property, covers exactly its cell, and finishes on focus loss
// (not while its calendar is open). Enter and Down finish and move to the same column of the next
// row, Up to the previous one; at either end no row keeps the focus. With Shift, Ctrl or Alt held,
// or a calendar open, those keys stay with the editor. Escape neither cancels nor ends an edit.
// finishEdit stores the text; a changed text the value rule refuses (a local time the clocks skip)
// is reported, and the cell keeps its value.
class PropertyEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent,
                          const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor,
                              const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    // message names the text and says why it cannot be stored. Emitted from inside setModelData, so
    // a receiver that opens a box connects queued.
    void valueRefused(const QString& message) const;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

    // The catalogue property a cell edits; std::nullopt for a cell without an editor.
    [[nodiscard]] virtual std::optional<std::size_t> propertyOf(const QModelIndex& index) const = 0;
    // Stores the editor's text through model, the view's model. changed: the user changed the
    // editor's value since it opened (typed, pasted or picked).
    virtual void finishEdit(QAbstractItemModel& model,
                            const QModelIndex& index,
                            std::size_t p,
                            const std::string& text,
                            bool changed) const = 0;

    // Where Ctrl+Z and Ctrl+Shift+Z go while the open editor holds no change of its own; without
    // a stack they always stay with the editor.
    [[nodiscard]] virtual QUndoStack* undoStack() const { return nullptr; }

private:
    [[nodiscard]] bool isStackKey(const PropertyEditorWidget& editor, const QKeyEvent& key) const;
    // In a view without tab navigation between cells, Tab and Shift+Tab finish the edit and move the
    // focus on to the next control.
    bool leavesTheView(QWidget* editor, QKeyEvent& key);
    void moveToNeighbour(QWidget* editor, const PropertyEditorWidget& cell, int step);
};

} // namespace editing
