#include "app/grid/GridStatus.h"

#include "app/grid/DocumentGrid.h"
#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"
#include "engine/package/OtherProgramLock.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace app {

QString CountsText(const GridCounts& counts)
{
    const std::size_t packages = counts.OfTotal.value_or(counts.Rows);
    const QString noun = packages == 1 ? QStringLiteral("package") : QStringLiteral("packages");
    QString text = counts.OfTotal
                       ? QStringLiteral("%1 of %2 %3 shown").arg(counts.Rows).arg(*counts.OfTotal).arg(noun)
                       : QStringLiteral("%1 %2").arg(counts.Rows).arg(noun);
    text += QStringLiteral(", %1 checked, %2 modified").arg(counts.Checked).arg(counts.Modified);
    if (counts.ModifiedHidden > 0) {
        text += QStringLiteral(" (%1 hidden by the filter)").arg(counts.ModifiedHidden);
    }
    if (counts.NotSaved > 0) {
        text += QStringLiteral(", %1 not saved").arg(counts.NotSaved);
    }
    if (counts.Unreadable > 0) {
        text += QStringLiteral(", %1 unreadable").arg(counts.Unreadable);
    }
    return text;
}

GridStatus::GridStatus(DocumentTableModel& model,
                       DocumentSortFilterModel& view,
                       DocumentGrid& grid,
                       QStatusBar& bar)
    : QObject(&bar)
    , m_model(model)
    , m_view(view)
    , m_grid(grid)
    , m_label(new QLabel(&bar))
    , m_timer(new QTimer(this))
{
    m_label->setObjectName(QStringLiteral("GridCounts"));
    bar.addPermanentWidget(m_label);
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &GridStatus::count);
    connect(&model, &QAbstractItemModel::dataChanged, this, &GridStatus::schedule);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &GridStatus::schedule);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &GridStatus::schedule);
    connect(&model, &QAbstractItemModel::modelReset, this, &GridStatus::schedule);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &GridStatus::schedule);
    // A filter typed or cleared changes the rows shown.
    connect(&view, &QAbstractItemModel::rowsInserted, this, &GridStatus::schedule);
    connect(&view, &QAbstractItemModel::rowsRemoved, this, &GridStatus::schedule);
    connect(&view, &QAbstractItemModel::modelReset, this, &GridStatus::schedule);
    connect(&view, &QAbstractItemModel::layoutChanged, this, &GridStatus::schedule);
    connect(&grid, &DocumentGrid::pendingEditChanged, this, &GridStatus::schedule);
    count();
}

QString GridStatus::text()
{
    if (m_timer->isActive()) {
        m_timer->stop();
        count();
    }
    return m_label->text();
}

void GridStatus::schedule()
{
    if (!m_timer->isActive()) {
        m_timer->start();
    }
}

void GridStatus::count()
{
    const engine::DocumentList& documents = m_model.documents();
    const std::size_t rows = documents.RowCount();
    const bool filtering = m_view.isFiltering();
    // The row whose open editor holds a change counts as modified before the change is stored.
    std::optional<std::size_t> editedRow;
    if (const QModelIndex cell = m_grid.pendingEditCell(); cell.isValid()) {
        if (const QModelIndex source = m_view.mapToSource(cell); source.isValid()) {
            editedRow = static_cast<std::size_t>(source.row());
        }
    }
    GridCounts counts;
    // Pending changes are counted on every row, the rows' other states on the rows shown.
    for (std::size_t row = 0; row < rows; ++row) {
        const engine::DocumentRecord& record = documents.RecordAt(row);
        const bool shown = !filtering || m_view.isShown(row);
        if (record.Modified || editedRow == row) {
            ++counts.Modified;
            counts.ModifiedHidden += shown ? 0 : 1;
        }
        if (!shown) {
            continue;
        }
        ++counts.Rows;
        counts.Checked += documents.CheckState(row) == engine::kChecked ? 1 : 0;
        if (!record.LastError.empty()) {
            // A load leaves nothing pending, so an error on a row that still holds changes is a save
            // that failed (refused for a lock or not): those changes are not saved.
            const bool notSaved = record.Modified || engine::IsOpenElsewhereMessage(record.LastError);
            (notSaved ? counts.NotSaved : counts.Unreadable) += 1;
        }
    }
    if (filtering) {
        counts.OfTotal = rows;
    }
    m_label->setText(CountsText(counts));
}

} // namespace app
