#pragma once

#include "editing/PropertyEditDelegate.h"

namespace editing {

class BatchListModel;

// The value editors of the Batch Modify list, chosen by the row's property. Finishing stores the
// value and checks the row only when the user changed the value since the editor opened, so a row
// merely passed on the way down the list is not applied.
class BatchValueDelegate : public PropertyEditDelegate
{
    Q_OBJECT

public:
    explicit BatchValueDelegate(BatchListModel& list, QObject* parent = nullptr);

protected:
    [[nodiscard]] std::optional<std::size_t> propertyOf(const QModelIndex& index) const override;
    void finishEdit(QAbstractItemModel& model,
                    const QModelIndex& index,
                    std::size_t p,
                    const std::string& text,
                    bool changed) const override;

private:
    BatchListModel& m_list;
};

} // namespace editing
