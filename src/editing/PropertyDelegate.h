#pragma once

#include "editing/PropertyEditDelegate.h"

namespace editing {

class RecordEdits;

// The cell editors of the document grid: columns 3..19 edit property column - 3, decided by the
// column index whatever its display position. A finished edit is handed to the grid model's
// setData, which stores it only when its text differs exactly from the record's.
class PropertyDelegate : public PropertyEditDelegate
{
    Q_OBJECT

public:
    explicit PropertyDelegate(RecordEdits& edits, QObject* parent = nullptr);

protected:
    [[nodiscard]] std::optional<std::size_t> propertyOf(const QModelIndex& index) const override;
    void finishEdit(QAbstractItemModel& model,
                    const QModelIndex& index,
                    std::size_t p,
                    const std::string& text,
                    bool changed) const override;
    [[nodiscard]] QUndoStack* undoStack() const override;

private:
    RecordEdits& m_edits;
};

} // namespace editing
