// The statistics columns of the document grid: read-only texts of the app part.
#include "app/grid/DocumentTableModel.h"
#include "editing/QtText.h"

#include <QColor>

namespace app {

void DocumentTableModel::setStatisticColumnsShown(bool shown)
{
    if (shown == m_statisticsShown) {
        return;
    }
    // Only these columns come or go, so the configured and custom ones keep widths and places.
    const int first = static_cast<int>(m_columns.size());
    const int last = first + static_cast<int>(kStatisticColumns.size()) - 1;
    if (shown) {
        beginInsertColumns({}, first, last);
        m_statisticsShown = true;
        endInsertColumns();
    } else {
        beginRemoveColumns({}, first, last);
        m_statisticsShown = false;
        endRemoveColumns();
    }
}

int DocumentTableModel::firstCustomColumn() const
{
    return static_cast<int>(m_columns.size() + (m_statisticsShown ? kStatisticColumns.size() : 0));
}

std::optional<engine::Statistic> DocumentTableModel::statisticOfColumn(int column) const
{
    const int offset = column - static_cast<int>(m_columns.size());
    if (!m_statisticsShown || offset < 0 || offset >= static_cast<int>(kStatisticColumns.size())) {
        return std::nullopt;
    }
    return kStatisticColumns[static_cast<std::size_t>(offset)];
}

const std::string* DocumentTableModel::customNameOfColumn(int column) const
{
    const int offset = column - firstCustomColumn();
    if (offset < 0 || offset >= static_cast<int>(m_customNames.size())) {
        return nullptr;
    }
    return &m_customNames[static_cast<std::size_t>(offset)];
}

QVariant DocumentTableModel::statisticCellData(const engine::DocumentRecord& record,
                                               engine::Statistic statistic,
                                               int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return editing::ToQString(record.StatisticText(statistic));
    case Qt::ForegroundRole:
        // Grey: a fact of the package, never edited.
        return QColor(96, 96, 96);
    case Qt::TextAlignmentRole:
        return static_cast<int>(
            (statistic == engine::Statistic::Application ? Qt::AlignLeft : Qt::AlignRight) |
            Qt::AlignVCenter);
    default:
        return {};
    }
}

} // namespace app
