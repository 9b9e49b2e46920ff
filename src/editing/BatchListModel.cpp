#include "editing/BatchListModel.h"

#include "editing/QtText.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace editing {

namespace {

const QColor kNameBackground{239, 243, 255};

} // namespace

void BatchListModel::fill()
{
    beginResetModel();
    for (std::size_t p = 0; p < m_items.size(); ++p) {
        m_items[p] = BatchItem{std::string(engine::DisplayName(p)), {}};
    }
    m_checked.fill(false);
    m_filled = true;
    endResetModel();
}

void BatchListModel::setAllChecked(bool checked)
{
    m_checked.fill(checked);
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }
}

bool BatchListModel::anyChecked() const
{
    return m_filled && std::any_of(m_checked.begin(), m_checked.end(), [](bool checked) { return checked; });
}

BatchValues BatchListModel::checkedValues() const
{
    BatchValues values;
    for (std::size_t p = 0; m_filled && p < m_items.size(); ++p) {
        if (m_checked[p]) {
            values.push_back({p, m_items[p].ItemValue});
        }
    }
    return values;
}

int BatchListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_filled ? 0 : static_cast<int>(m_items.size());
}

int BatchListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant BatchListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const bool nameColumn = index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return ToQString(nameColumn ? m_items[row].ItemName : m_items[row].ItemValue);
    case Qt::CheckStateRole:
        return nameColumn ? QVariant(m_checked[row] ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::BackgroundRole:
        return nameColumn ? kNameBackground : QGuiApplication::palette().color(QPalette::ToolTipBase);
    default:
        return {};
    }
}

QVariant BatchListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && (section == 0 || section == 1)) {
        return section == 0 ? QStringLiteral("Metadata Item") : QStringLiteral("Matadata Value");
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags BatchListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return base | (index.column() == 0 ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

QModelIndex BatchListModel::buddy(const QModelIndex& index) const
{
    return index.isValid() ? index.siblingAtColumn(1) : index;
}

bool BatchListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (index.column() == 0 && role == Qt::CheckStateRole) {
        m_checked[row] = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    if (index.column() == 1 && role == Qt::EditRole) {
        m_items[row].ItemValue = value.toString().toStdString();
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        return true;
    }
    return false;
}

} // namespace editing
