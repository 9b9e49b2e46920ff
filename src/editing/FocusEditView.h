#pragma once

#include <QTableView>

namespace editing {

// A table whose cell editor opens as soon as an editable cell gets the focus, but not when a
// right-click (the context menu) or a type-ahead search moved the focus there.
class FocusEditView : public QTableView
{
    Q_OBJECT

public:
    using QTableView::edit;
    using QTableView::QTableView;

    // Stores what an open cell editor holds and closes it; a no-op without one.
    void commitOpenEditor();
    // The cell whose open property editor holds a text the cell does not have (typed, pasted or
    // picked, and not stored yet); invalid when there is none.
    [[nodiscard]] QModelIndex pendingEditCell() const;
    void keyboardSearch(const QString& search) override;

signals:
    // What pendingEditCell answers may have changed: an open editor's text changed, or it closed.
    void pendingEditChanged();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_rightPress = false;
    bool m_searching = false;
};

} // namespace editing
