#include "editing/BatchValueDelegate.h"

#include "editing/BatchListModel.h"
#include "editing/QtText.h"

namespace editing {

BatchValueDelegate::BatchValueDelegate(BatchListModel& list, QObject* parent)
    : PropertyEditDelegate(parent)
    , m_list(list)
{}

std::optional<std::size_t> BatchValueDelegate::propertyOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.column() != 1 || index.row() >= static_cast<int>(engine::kPropertyCount)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index.row());
}

void BatchValueDelegate::finishEdit(const QModelIndex& index,
                                    std::size_t /*p*/,
                                    const std::string& text,
                                    bool changed) const
{
    if (!changed) {
        return;
    }
    m_list.setData(m_list.index(index.row(), 1), ToQString(text), Qt::EditRole);
    m_list.setData(m_list.index(index.row(), 0), Qt::Checked, Qt::CheckStateRole);
}

} // namespace editing
