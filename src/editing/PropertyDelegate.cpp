#include "editing/PropertyDelegate.h"

#include "editing/RecordEdits.h"

#include <QAbstractProxyModel>

namespace editing {

PropertyDelegate::PropertyDelegate(RecordEdits& edits, QObject* parent)
    : PropertyEditDelegate(parent)
    , m_edits(edits)
{}

std::optional<std::size_t> PropertyDelegate::propertyOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() < engine::kFirstPropertyColumn ||
        index.column() >= engine::kColumnCount) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index.column() - engine::kFirstPropertyColumn);
}

void PropertyDelegate::finishEdit(const QModelIndex& index,
                                  std::size_t p,
                                  const std::string& text,
                                  bool /*changed*/) const
{
    // The view may show the rows sorted or filtered: the edit goes to the row of the list itself.
    QModelIndex row = index;
    while (const auto* view = qobject_cast<const QAbstractProxyModel*>(row.model())) {
        row = view->mapToSource(row);
    }
    m_edits.storeCellText(static_cast<std::size_t>(row.row()), p, text);
}

QUndoStack* PropertyDelegate::undoStack() const
{
    return &m_edits.undoStack();
}

} // namespace editing
