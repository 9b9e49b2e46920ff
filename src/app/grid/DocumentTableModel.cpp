#include "app/grid/DocumentTableModel.h"

#include "app/grid/WorkerPool.h"

#include "editing/QtText.h"
#include "editing/RecordEdits.h"
#include "engine/base/PathMessage.h"
#include "engine/record/CellText.h"
#include "engine/record/DateConvert.h"
#include "engine/record/StageValue.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QtConcurrent>

#include <algorithm>

namespace app {

namespace {

const QColor kChangedColor{0, 0, 255};

bool IsPropertyColumn(int column)
{
    return column >= engine::kFirstPropertyColumn && column < engine::kColumnCount;
}

std::size_t PropertyOf(int column)
{
    return static_cast<std::size_t>(column - engine::kFirstPropertyColumn);
}

} // namespace

DocumentTableModel::DocumentTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{}

DocumentTableModel::~DocumentTableModel() = default;

void DocumentTableModel::setColumns(std::vector<ColumnSetting> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void DocumentTableModel::setLocked(bool locked)
{
    m_locked = locked;
}

int DocumentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QModelIndex DocumentTableModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || static_cast<std::size_t>(row) >= m_rows.size() ||
        column >= firstCustomColumn() + static_cast<int>(m_customNames.size())) {
        return {};
    }
    return createIndex(row, column);
}

int DocumentTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : firstCustomColumn() + static_cast<int>(m_customNames.size());
}

QVariant DocumentTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (static_cast<std::size_t>(index.column()) >= m_columns.size()) {
        if (const auto statistic = statisticOfColumn(index.column())) {
            return statisticCellData(*m_rows[row].record, *statistic, role);
        }
        return customCellData(*m_rows[row].record, index.column(), role);
    }
    return cellData(*m_rows[row].record, index.row(), index.column(), role);
}

QVariant
DocumentTableModel::cellData(const engine::DocumentRecord& record, int row, int column, int role) const
{
    const ColumnSetting& setting = m_columns[static_cast<std::size_t>(column)];
    const bool changedValue = IsPropertyColumn(column) && record.Changed(PropertyOf(column));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // An instant of the hour the clocks show twice is shown as its local time with its offset.
        if (IsPropertyColumn(column) && engine::IsDateProperty(PropertyOf(column))) {
            return editing::ToQString(engine::RecordDateToShownText(engine::CellText(record, column)));
        }
        return editing::ToQString(engine::CellText(record, column));
    case Qt::CheckStateRole:
        if (column == 0) {
            return m_rows[static_cast<std::size_t>(row)].checkState == engine::kChecked ? Qt::Checked
                                                                                        : Qt::Unchecked;
        }
        return {};
    case Qt::ForegroundRole:
        if ((column == 0 && record.Modified) || changedValue) {
            return kChangedColor;
        }
        return {};
    case Qt::FontRole:
        if (changedValue) {
            QFont font = QApplication::font();
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::BackgroundRole:
        return setting.background;
    case Qt::TextAlignmentRole:
        return static_cast<int>(setting.alignment | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (column == 0 && !record.LastError.empty()) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    case Qt::ToolTipRole:
        if (column == 0 && !record.LastError.empty()) {
            return editing::ToQString(engine::PathMessage(record.FullPath, record.LastError));
        }
        return {};
    default:
        return {};
    }
}

QVariant DocumentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto column = static_cast<std::size_t>(section);
    if (const auto statistic = statisticOfColumn(section)) {
        return role == Qt::DisplayRole ? QVariant(editing::ToQString(engine::StatisticCaption(*statistic)))
                                       : QVariant();
    }
    if (column >= m_columns.size()) {
        return customHeaderData(static_cast<std::size_t>(section - firstCustomColumn()), role);
    }
    if (role == Qt::DisplayRole) {
        return m_columns[column].caption;
    }
    // The caption is a key of the tables; the value it heads is minutes.
    if (role == Qt::ToolTipRole &&
        section == engine::kFirstPropertyColumn + static_cast<int>(engine::kCoreCount) + 1) {
        return QStringLiteral("Total editing time in minutes, as Office stores it");
    }
    if (role == kDateColumnRole) {
        return section >= engine::kFirstPropertyColumn &&
               engine::IsDateProperty(static_cast<std::size_t>(section - engine::kFirstPropertyColumn));
    }
    return {};
}

Qt::ItemFlags DocumentTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        result |= Qt::ItemIsUserCheckable;
    }
    // The file facts are never edited; while a worker holds copies of the rows nothing is.
    if (IsPropertyColumn(index.column()) && !m_locked) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

bool DocumentTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::CheckStateRole && index.column() == 0) {
        const int state = value.toInt() == Qt::Checked ? engine::kChecked : engine::kUnchecked;
        if (m_rows[row].checkState != state) {
            m_rows[row].checkState = state;
            emit dataChanged(index, index, {Qt::CheckStateRole});
        }
        return true;
    }
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const std::size_t p = PropertyOf(index.column());
    std::string text = value.toString().toStdString();
    if (engine::IsDateProperty(p) && text != m_rows[row].record->Value(p)) {
        if (engine::RepeatedLocalTimeInstants(text)) {
            emit repeatedLocalTimeGiven(QPersistentModelIndex(index), value.toString());
            return false;
        }
        // The form the cell shows for an instant of that hour names the instant the row holds.
        if (auto held = engine::ShownDateToRecordText(text)) {
            text = std::move(*held);
        }
    }
    // The one way in for a typed value: one step of Undo, in which the engine applies the value
    // rule; only a real change marks the row.
    try {
        editing::StoreCellText(*this, m_undoStack, row, p, std::move(text));
    } catch (const engine::EBadPropertyValue& refused) {
        emit valueRefused(editing::ToQString(refused.what()) + QLatin1Char('.'));
        return false;
    }
    return true;
}

engine::DocumentRecord& DocumentTableModel::AppendRow()
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.push_back({std::make_unique<engine::DocumentRecord>(), engine::kUnchecked});
    endInsertRows();
    return *m_rows.back().record;
}

void DocumentTableModel::adoptRows(std::vector<engine::VectorDocumentList::Row> rows)
{
    if (rows.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    endInsertRows();
    refreshCustomColumns();
}

void DocumentTableModel::clearRows()
{
    RecordSetChanged();
    if (m_rows.empty()) {
        return;
    }
    beginRemoveRows({}, 0, rowCount() - 1);
    // Freeing 100,000 records takes long enough to freeze the window: a pool thread does it.
    [[maybe_unused]] const QFuture<void> freed = QtConcurrent::run(&WorkerPool(), [rows = std::move(m_rows)] {});
    m_rows.clear();
    endRemoveRows();
    refreshCustomColumns();
}

engine::DocumentRecord& DocumentTableModel::RecordAt(std::size_t row)
{
    return *m_rows.at(row).record;
}

const engine::DocumentRecord& DocumentTableModel::RecordAt(std::size_t row) const
{
    return *m_rows.at(row).record;
}

int DocumentTableModel::CheckState(std::size_t row) const
{
    return m_rows.at(row).checkState;
}

void DocumentTableModel::SetCheckState(std::size_t row, int state)
{
    m_rows.at(row).checkState = state;
    if (m_updateDepth == 0) {
        const QModelIndex cell = index(static_cast<int>(row), 0);
        emit dataChanged(cell, cell, {Qt::CheckStateRole});
    }
}

void DocumentTableModel::setAllCheckStates(int state)
{
    UpdateBlock block(*this);
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        SetCheckState(row, state);
    }
}

void DocumentTableModel::setCheckStates(const std::vector<std::size_t>& rows, int state)
{
    UpdateBlock block(*this);
    for (const std::size_t row : rows) {
        SetCheckState(row, state);
    }
}

void DocumentTableModel::DeleteRow(std::size_t row)
{
    RecordSetChanged();
    const int r = static_cast<int>(row);
    beginRemoveRows({}, r, r);
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    endRemoveRows();
    refreshCustomColumns();
}

void DocumentTableModel::storeRecord(std::size_t row, engine::DocumentRecord record)
{
    *m_rows.at(row).record = std::move(record);
    refreshCustomColumns();
    rowChanged(static_cast<int>(row), 0, columnCount() - 1);
}

std::unique_ptr<engine::DocumentRecord>
DocumentTableModel::exchangeRecord(std::size_t row, std::unique_ptr<engine::DocumentRecord> record)
{
    RecordSetChanged();
    std::swap(m_rows.at(row).record, record);
    refreshCustomColumns();
    rowChanged(static_cast<int>(row), 0, columnCount() - 1);
    return record;
}

bool DocumentTableModel::anyModified() const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [](const auto& row) { return row.record->Modified; });
}

void DocumentTableModel::BeginUpdate()
{
    ++m_updateDepth;
}

void DocumentTableModel::EndUpdate()
{
    if (m_updateDepth > 0 && --m_updateDepth == 0) {
        refreshCustomColumns();
        if (!m_rows.empty() && columnCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }
}

void DocumentTableModel::rowChanged(int row, int firstColumn, int lastColumn)
{
    if (m_updateDepth == 0 && lastColumn >= firstColumn) {
        emit dataChanged(index(row, firstColumn), index(row, lastColumn));
    }
}

} // namespace app
