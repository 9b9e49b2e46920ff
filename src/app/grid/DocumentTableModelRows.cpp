// Taking rows out of the document grid and putting them back where they were.
#include "app/grid/DocumentTableModel.h"

namespace app {

namespace {

// Past this many separate runs of rows the view is reset once instead of being told of each run:
// every run moves the rows behind it, and the view redoes its layout per notice.
constexpr std::size_t kMaxRunNotices = 32;

// The runs of consecutive positions, as (first index into positions, length).
std::vector<std::pair<std::size_t, std::size_t>> Runs(const std::vector<std::size_t>& positions)
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (!runs.empty() && positions[i] == positions[i - 1] + 1) {
            ++runs.back().second;
        } else {
            runs.emplace_back(i, 1);
        }
    }
    return runs;
}

} // namespace

std::vector<engine::VectorDocumentList::Row>
DocumentTableModel::takeRows(const std::vector<std::size_t>& rows)
{
    RecordSetChanged();
    std::vector<engine::VectorDocumentList::Row> taken(rows.size());
    if (rows.empty()) {
        return taken;
    }
    const auto runs = Runs(rows);
    if (runs.size() > kMaxRunNotices) {
        beginResetModel();
        std::vector<engine::VectorDocumentList::Row> kept;
        kept.reserve(m_rows.size() - rows.size());
        std::size_t next = 0;
        for (std::size_t row = 0; row < m_rows.size(); ++row) {
            if (next < rows.size() && rows[next] == row) {
                taken[next++] = std::move(m_rows[row]);
            } else {
                kept.push_back(std::move(m_rows[row]));
            }
        }
        m_rows = std::move(kept);
        endResetModel();
    } else {
        // From the last run to the first, so that the runs still to come keep their positions.
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            const auto first = static_cast<std::ptrdiff_t>(rows[run->first]);
            const auto count = static_cast<std::ptrdiff_t>(run->second);
            beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
            std::move(m_rows.begin() + first, m_rows.begin() + first + count,
                      taken.begin() + static_cast<std::ptrdiff_t>(run->first));
            m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
            endRemoveRows();
        }
    }
    refreshCustomColumns();
    return taken;
}

void DocumentTableModel::reinsertRows(const std::vector<std::size_t>& positions,
                                      std::vector<engine::VectorDocumentList::Row> rows)
{
    RecordSetChanged();
    if (rows.empty()) {
        return;
    }
    const auto runs = Runs(positions);
    if (runs.size() > kMaxRunNotices) {
        beginResetModel();
        std::vector<engine::VectorDocumentList::Row> merged;
        merged.reserve(m_rows.size() + rows.size());
        std::size_t next = 0;
        for (auto& row : m_rows) {
            while (next < rows.size() && positions[next] <= merged.size()) {
                merged.push_back(std::move(rows[next++]));
            }
            merged.push_back(std::move(row));
        }
        for (; next < rows.size(); ++next) {
            merged.push_back(std::move(rows[next]));
        }
        m_rows = std::move(merged);
        endResetModel();
    } else {
        // From the first run to the last: each run's position counts the runs before it.
        for (const auto& [at, count] : runs) {
            const std::size_t first = std::min(positions[at], m_rows.size());
            beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
            const auto from = rows.begin() + static_cast<std::ptrdiff_t>(at);
            m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(first), std::make_move_iterator(from),
                          std::make_move_iterator(from + static_cast<std::ptrdiff_t>(count)));
            endInsertRows();
        }
    }
    refreshCustomColumns();
}

} // namespace app
