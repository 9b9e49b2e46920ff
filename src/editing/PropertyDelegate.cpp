#include "editing/PropertyDelegate.h"

#include "editing/RecordEdits.h"

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
    m_edits.storeCellText(static_cast<std::size_t>(index.row()), p, text);
}

QUndoStack* PropertyDelegate::undoStack() const
{
    return &m_edits.undoStack();
}

} // namespace editing
