#include "app/grid/DocumentSortFilterModel.h"

#include "app/grid/DocumentTableModel.h"
#include "app/grid/NaturalSortKey.h"
#include "engine/record/CustomProperties.h"
#include "engine/record/DateConvert.h"
#include "engine/base/OrderedPool.h"
#include "engine/base/UsableCores.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <numeric>
#include <string_view>

namespace app {

namespace {

// The rank of an empty cell: after every other whichever way the column is sorted.
constexpr std::uint32_t kEmptyRank = std::numeric_limits<std::uint32_t>::max();

// Rows per task when keys or filter matches are worked out on every core (the calling thread is
// one of them: it would otherwise only wait).
constexpr std::size_t kRowsPerTask = 8192;

void ForRowChunks(std::size_t rows, const std::function<void(std::size_t first, std::size_t end)>& work)
{
    const std::size_t tasks = (rows + kRowsPerTask - 1) / kRowsPerTask;
    engine::RunInOrder(
        tasks, engine::UsableCores(), {},
        [&](std::size_t task, unsigned) {
            work(task * kRowsPerTask, std::min(rows, (task + 1) * kRowsPerTask));
        },
        [](std::size_t, bool) {});
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether text contains needle (lower-case ASCII), ignoring the case of ASCII letters.
bool ContainsAsciiFolded(std::string_view text, std::string_view needle)
{
    if (needle.empty() || needle.size() > text.size()) {
        return needle.empty();
    }
    const std::size_t last = text.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (LowerAscii(text[i]) != needle[0]) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() && LowerAscii(text[i + k]) == needle[k]) {
            ++k;
        }
        if (k == needle.size()) {
            return true;
        }
    }
    return false;
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The text a date cell sorts by: its local form, also where the row holds the instant itself
// (a time the clocks show twice), so that every date of the column sorts on one scale.
std::string DateSortText(const std::string& value)
{
    if (value.empty() || engine::HasLocalDateForm(value)) {
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
    // Connected before the proxy's own handlers, so that ranks are dropped before it sorts new rows.
    const auto dropRanks = [this] { m_ranks.clear(); };
    connect(&rows, &QAbstractItemModel::dataChanged, this, dropRanks);
    connect(&rows, &QAbstractItemModel::rowsInserted, this, dropRanks);
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, dropRanks);
    connect(&rows, &QAbstractItemModel::modelReset, this, dropRanks);
    connect(&rows, &QAbstractItemModel::layoutChanged, this, dropRanks);
    connect(&rows, &QAbstractItemModel::columnsInserted, this, dropRanks);
    connect(&rows, &QAbstractItemModel::columnsRemoved, this, dropRanks);
    setSourceModel(&rows);
}

DocumentSortFilterModel::~DocumentSortFilterModel() = default;

void DocumentSortFilterModel::sort(int column, Qt::SortOrder order)
{
    // Ranks stay valid for another order of the same column until the rows change.
    QSortFilterProxyModel::sort(column, order);
    if (column < 0) {
        m_ranks.clear();
        m_ranks.shrink_to_fit();
    }
}

void DocumentSortFilterModel::buildSortRanks(int column) const
{
    const engine::DocumentList& documents = m_rows.documents();
    const std::size_t count = documents.RowCount();
    const bool dateColumn = m_rows.headerData(column, Qt::Horizontal, kDateColumnRole).toBool();
    const std::string* customName = m_rows.customNameOfColumn(column);
    const std::optional<engine::Statistic> statistic = m_rows.statisticOfColumn(column);
    const std::string none;
    const auto sortText = [&](const engine::DocumentRecord& record) -> std::string_view {
        if (statistic) {
            return record.StatisticText(*statistic);
        }
        if (customName != nullptr) {
            const engine::CustomProperty* property = engine::FindCustomProperty(record.Custom, *customName);
            return property != nullptr ? std::string_view(property->Value) : std::string_view();
        }
        switch (column) {
        case 0:
            return record.FileName;
        case 1:
            return record.FullPath;
        case 2:
            return record.FileSize; // the size in bytes, not the rounded text with its unit
        default:
            return column >= engine::kFirstPropertyColumn && column < engine::kColumnCount
                       ? std::string_view(
                             record.Value(static_cast<std::size_t>(column - engine::kFirstPropertyColumn)))
                       : std::string_view(none);
        }
    };
    // Keys are made and ordered on every core; only reading the rows, which nothing changes while
    // the UI thread waits here.
    std::vector<std::string> keys(count);
    ForRowChunks(count, [&](std::size_t first, std::size_t end) {
        for (std::size_t row = first; row < end; ++row) {
            const engine::DocumentRecord& record = documents.RecordAt(row);
            if (dateColumn) {
                // "YYYY-MM-DD hh:mm:ss" has its digits in fixed places: the text itself sorts by time.
                const std::string local = DateSortText(
                    record.Value(static_cast<std::size_t>(column - engine::kFirstPropertyColumn)));
                keys[row] = engine::HasLocalDateForm(local) ? local : NaturalSortKey(local);
            } else {
                keys[row] = NaturalSortKey(sortText(record));
            }
        }
    });
    std::vector<std::uint32_t> order;
    order.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
        if (!keys[row].empty()) {
            order.push_back(static_cast<std::uint32_t>(row));
        }
    }
    // Two halves sorted side by side, then merged; stable, so equal keys keep the added order.
    const auto byKey = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; };
    const auto middle = order.begin() + static_cast<std::ptrdiff_t>(order.size() / 2);
    engine::RunInOrder(
        2, 2, {},
        [&](std::size_t half, unsigned) {
            if (half == 0) {
                std::stable_sort(order.begin(), middle, byKey);
            } else {
                std::stable_sort(middle, order.end(), byKey);
            }
        },
        [](std::size_t, bool) {});
    std::inplace_merge(order.begin(), middle, order.end(), byKey);
    m_ranks.assign(count, kEmptyRank);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i - 1]] != keys[order[i]]) {
            ++rank;
        }
        m_ranks[order[i]] = rank;
    }
    m_ranksColumn = column;
}

bool DocumentSortFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (m_ranksColumn != left.column() || m_ranks.size() != m_rows.documents().RowCount()) {
        buildSortRanks(left.column());
    }
    const std::uint32_t a = m_ranks[static_cast<std::size_t>(left.row())];
    const std::uint32_t b = m_ranks[static_cast<std::size_t>(right.row())];
    if ((a == kEmptyRank) != (b == kEmptyRank)) {
        // Empty cells last whichever way the column is sorted: a descending sort asks the other
        // way round.
        return sortOrder() == Qt::AscendingOrder ? b == kEmptyRank : a == kEmptyRank;
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
    m_asciiFilter.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    m_filterIsAscii = IsAscii(m_asciiFilter);
    m_separators = engine::CurrentSeparators();
    // Every row is matched on every core first; the proxy then only reads the answers.
    if (!m_filter.isEmpty()) {
        const std::size_t count = m_rows.documents().RowCount();
        m_matched.assign(count, 0);
        ForRowChunks(count, [this](std::size_t first, std::size_t end) {
            for (std::size_t row = first; row < end; ++row) {
                m_matched[row] = rowMatches(row) ? 1 : 0;
            }
        });
    }
    invalidateFilter();
    m_matched.clear();
    m_matched.shrink_to_fit();
}

bool DocumentSortFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const
{
    if (m_filter.isEmpty()) {
        return true;
    }
    const auto row = static_cast<std::size_t>(sourceRow);
    return row < m_matched.size() ? m_matched[row] != 0 : rowMatches(row);
}

bool DocumentSortFilterModel::matches(std::string_view text) const
{
    if (m_filterIsAscii) {
        // UTF-8 bytes of other characters never equal an ASCII byte, so the text needs no conversion.
        return ContainsAsciiFolded(text, m_asciiFilter);
    }
    return !IsAscii(text) && QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                 .toCaseFolded()
                                 .contains(m_foldedFilter);
}

bool DocumentSortFilterModel::rowMatches(std::size_t row) const
{
    const engine::DocumentRecord& record = m_rows.documents().RecordAt(row);
    if (matches(record.FileName) || matches(record.FullPath)) {
        return true;
    }
    // The size as the grid shows it.
    std::uint64_t bytes = 0;
    const std::string& size = record.FileSize;
    const auto parsed = std::from_chars(size.data(), size.data() + size.size(), bytes);
    const bool number = !size.empty() && parsed.ec == std::errc() && parsed.ptr == size.data() + size.size();
    if (matches(number ? engine::FormatSizeText(bytes, m_separators) : size)) {
        return true;
    }
    const int columns = std::min(static_cast<int>(m_rows.columns().size()), engine::kColumnCount);
    for (int column = engine::kFirstPropertyColumn; column < columns; ++column) {
        if (matches(record.Value(static_cast<std::size_t>(column - engine::kFirstPropertyColumn)))) {
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
