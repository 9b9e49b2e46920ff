#include "editing/PropertyDelegate.h"

#include "editing/RecordEdits.h"

#include "editing/QtText.h"

#include <QAbstractItemModel>

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

void PropertyDelegate::finishEdit(QAbstractItemModel& model,
                                  const QModelIndex& index,
                                  std::size_t /*p*/,
                                  const std::string& text,
                                  bool /*changed*/) const
{
    // The model (through a sorting or filtering view) applies the value rule and makes the step of
    // Undo; an unchanged editor gives back the record's own text, which stores nothing.
    model.setData(index, ToQString(text), Qt::EditRole);
}

QUndoStack* PropertyDelegate::undoStack() const
{
    return &m_edits.undoStack();
}

} // namespace editing
