#include "app/DocumentSortFilterModel.h"

#include "app/DocumentTableModel.h"
#include "app/NaturalSortKey.h"
#include "engine/custom/CustomProperties.h"
#include "engine/record/CellText.h"
#include "engine/record/DateConvert.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace app {

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether text contains needle (lower-case ASCII), ignoring the case of ASCII letters. UTF-8
// bytes of other characters never equal an ASCII byte, so the text needs no conversion.
bool ContainsAsciiFolded(std::string_view text, std::string_view needle)
{
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                       [](char a, char b) { return LowerAscii(a) == b; }) != text.end();
}

// The text a date cell sorts by: its local form, also where the row holds the instant itself
// (a time the clocks show twice), so that every date of the column sorts on one scale.
std::string DateSortText(const std::string& value)
{
    if (engine::HasLocalDateForm(value)) {
        return value;
    }
    return engine::StoredDateToLocalText(value).value_or(value);
}

} // namespace

DocumentSortFilterModel::DocumentSortFilterModel(DocumentTableModel& rows, QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_rows(rows)
{
    // Sorting and filtering happen when the user asks, never on their own after an edit.
    setDynamicSortFilter(false);
    // Connected before the proxy's own handlers, so that keys are dropped before it sorts new rows.
    const auto dropKeys = [this] { m_keys.clear(); };
    connect(&rows, &QAbstractItemModel::dataChanged, this, dropKeys);
    connect(&rows, &QAbstractItemModel::rowsInserted, this, dropKeys);
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, dropKeys);
    connect(&rows, &QAbstractItemModel::modelReset, this, dropKeys);
    connect(&rows, &QAbstractItemModel::layoutChanged, this, dropKeys);
    connect(&rows, &QAbstractItemModel::columnsInserted, this, dropKeys);
    connect(&rows, &QAbstractItemModel::columnsRemoved, this, dropKeys);
    setSourceModel(&rows);
}

void DocumentSortFilterModel::sort(int column, Qt::SortOrder order)
{
    m_keys.clear();
    QSortFilterProxyModel::sort(column, order);
    if (column < 0) {
        m_keys.shrink_to_fit();
    }
}

void DocumentSortFilterModel::buildSortKeys(int column) const
{
    const engine::DocumentList& documents = m_rows.documents();
    const std::size_t count = documents.RowCount();
    m_keys.assign(count, QString());
    m_keysColumn = column;
    const bool dateColumn = m_rows.headerData(column, Qt::Horizontal, kDateColumnRole).toBool();
    const std::string* customName = m_rows.customNameOfColumn(column);
    const std::optional<engine::Statistic> statistic = m_rows.statisticOfColumn(column);
    for (std::size_t row = 0; row < count; ++row) {
        const engine::DocumentRecord& record = documents.RecordAt(row);
        if (statistic) {
            m_keys[row] = NaturalSortKey(record.StatisticText(*statistic));
        } else if (customName != nullptr) {
            const engine::CustomProperty* property = engine::FindCustomProperty(record.Custom, *customName);
            m_keys[row] = property != nullptr ? NaturalSortKey(property->Value) : QString();
        } else if (column == 2) {
            // The size in bytes, not the rounded text with its unit.
            m_keys[row] = NaturalSortKey(record.FileSize);
        } else if (dateColumn) {
            m_keys[row] = NaturalSortKey(DateSortText(engine::CellText(record, column)));
        } else {
            m_keys[row] = NaturalSortKey(engine::CellText(record, column));
        }
    }
}

bool DocumentSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (m_keysColumn != left.column() || m_keys.size() != m_rows.documents().RowCount()) {
        buildSortKeys(left.column());
    }
    const QString& a = m_keys[static_cast<std::size_t>(left.row())];
    const QString& b = m_keys[static_cast<std::size_t>(right.row())];
    if (a.isEmpty() != b.isEmpty()) {
        // Empty cells last whichever way the column is sorted: a descending sort asks the other
        // way round.
        return sortOrder() == Qt::AscendingOrder ? b.isEmpty() : a.isEmpty();
    }
    return a < b;
}

void DocumentSortFilterModel::setFilterText(const QString& text)
{
    if (text == m_filter) {
        return;
    }
    m_filter = text;
    m_foldedFilter = text.toCaseFolded();
    const QByteArray utf8 = m_foldedFilter.toUtf8();
    m_filterIsAscii = IsAscii(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    m_asciiFilter.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    invalidateFilter();
}

bool DocumentSortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const
{
    return m_filter.isEmpty() || rowMatches(static_cast<std::size_t>(sourceRow));
}

bool DocumentSortFilterModel::rowMatches(std::size_t row) const
{
    const engine::DocumentRecord& record = m_rows.documents().RecordAt(row);
    const auto matches = [this](std::string_view text) {
        if (m_filterIsAscii) {
            return ContainsAsciiFolded(text, m_asciiFilter);
        }
        return !IsAscii(text) && QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                     .toCaseFolded()
                                     .contains(m_foldedFilter);
    };
    const int columns = static_cast<int>(m_rows.columns().size());
    for (int column = 0; column < columns; ++column) {
        // Column texts that are fields of the record are matched in place; only the size is built.
        const bool matched =
            column == 0   ? matches(record.FileName)
            : column == 1 ? matches(record.FullPath)
            : column == 2 ? matches(engine::CellText(record, column))
            : column < engine::kColumnCount
                ? matches(record.Value(static_cast<std::size_t>(column - engine::kFirstPropertyColumn)))
                : false;
        if (matched) {
            return true;
        }
    }
    if (m_rows.statisticColumnsShown()) {
        for (const engine::Statistic statistic : kStatisticColumns) {
            if (matches(record.StatisticText(statistic))) {
                return true;
            }
        }
    }
    for (const std::string& name : m_rows.customColumnNames()) {
        const engine::CustomProperty* property = engine::FindCustomProperty(record.Custom, name);
        if (property != nullptr && matches(property->Value)) {
            return true;
        }
    }
    return false;
}

std::vector<std::size_t> DocumentSortFilterModel::rowsInShownOrder() const
{
    std::vector<std::size_t> rows;
    const int shown = rowCount();
    rows.reserve(static_cast<std::size_t>(shown));
    for (int row = 0; row < shown; ++row) {
        rows.push_back(static_cast<std::size_t>(mapToSource(index(row, 0)).row()));
    }
    return rows;
}

std::vector<std::size_t> DocumentSortFilterModel::shownRows() const
{
    if (!isFiltering()) {
        std::vector<std::size_t> rows(m_rows.documents().RowCount());
        std::iota(rows.begin(), rows.end(), std::size_t{0});
        return rows;
    }
    std::vector<std::size_t> rows = rowsInShownOrder();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool DocumentSortFilterModel::isShown(std::size_t row) const
{
    return !isFiltering() || mapFromSource(m_rows.index(static_cast<int>(row), 0)).isValid();
}

} // namespace app
