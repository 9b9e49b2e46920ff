#include "editing/BatchValueDelegate.h"

#include "editing/BatchListModel.h"
#include "editing/QtText.h"
#include "engine/record/PropertyValueRule.h"

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

void BatchValueDelegate::finishEdit(QAbstractItemModel& /*model*/,
                                    const QModelIndex& index,
                                    std::size_t p,
                                    const std::string& text,
                                    bool changed) const
{
    if (!changed) {
        return;
    }
    // The date box takes any wall-clock time, also one the clocks skip in the local zone.
    if (const auto problem = engine::PropertyValueProblem(p, text)) {
        emit valueRefused(ToQString(*problem) + QLatin1Char('.'));
        return;
    }
    m_list.setData(m_list.index(index.row(), 1), ToQString(text), Qt::EditRole);
    m_list.setData(m_list.index(index.row(), 0), Qt::Checked, Qt::CheckStateRole);
}

} // namespace editing
