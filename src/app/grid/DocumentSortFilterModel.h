#pragma once

#include "engine/record/CellText.h"

#include <QSortFilterProxyModel>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class DocumentTableModel;

// The document grid's view of the rows: sorted by one column or in the order they were added, and
// narrowed to the rows whose texts contain a filter text. Rows are sorted and filtered when the
// user sorts or types a filter, never because a value changed, so a row being edited stays where
// it is. The rows themselves stay in added order in the model: commands work on model rows.
class DocumentSortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit DocumentSortFilterModel(DocumentTableModel& rows, QObject* parent = nullptr);
    ~DocumentSortFilterModel() override;

    // Sorts by column (numbers as numbers, dates chronologically, text case-insensitively with
    // runs of digits as numbers, empty cells last in both orders); a negative column returns to
    // the added order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Shows only the rows with a cell (any column) containing text, case-insensitively; an empty
    // text shows every row.
    void setFilterText(const QString& text);

    [[nodiscard]] const QString& filterText() const { return m_filter; }

    [[nodiscard]] bool isFiltering() const { return !m_filter.isEmpty(); }

    // The model rows shown, in added order.
    [[nodiscard]] std::vector<std::size_t> shownRows() const;
    // The model rows shown, in the order shown.
    [[nodiscard]] std::vector<std::size_t> rowsInShownOrder() const;
    // Whether model row is shown.
    [[nodiscard]] bool isShown(std::size_t row) const;

protected:
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    [[nodiscard]] bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void buildSortRanks(int column) const;
    [[nodiscard]] bool rowMatches(std::size_t row) const;
    [[nodiscard]] bool matches(std::string_view text) const;

    DocumentTableModel& m_rows;
    QString m_filter;
    // The filter folded for comparison, and as lower-case ASCII bytes when it is plain ASCII (the
    // common case, matched on the UTF-8 texts without converting them).
    QString m_foldedFilter;
    std::string m_asciiFilter;
    bool m_filterIsAscii = true;
    engine::NumberSeparators m_separators;
    // Whether each row matches the filter, worked out on every core just before the proxy asks.
    std::vector<char> m_matched;
    // Each row's place in the sort column's order (equal texts share one, empty cells last), made
    // when a sort needs them and dropped when the rows change.
    mutable std::vector<std::uint32_t> m_ranks;
    mutable int m_ranksColumn = -1;
};

} // namespace app
