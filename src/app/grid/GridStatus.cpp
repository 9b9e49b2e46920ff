#include "app/grid/GridStatus.h"

#include "app/grid/DocumentSortFilterModel.h"
#include "app/grid/DocumentTableModel.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace app {

QString CountsText(std::size_t rows,
                   std::size_t checked,
                   std::size_t modified,
                   std::size_t unreadable,
                   std::optional<std::size_t> ofTotal)
{
    const std::size_t packages = ofTotal.value_or(rows);
    const QString noun = packages == 1 ? QStringLiteral("package") : QStringLiteral("packages");
    QString text = ofTotal ? QStringLiteral("%1 of %2 %3 shown").arg(rows).arg(*ofTotal).arg(noun)
                           : QStringLiteral("%1 %2").arg(rows).arg(noun);
    text += QStringLiteral(", %1 checked, %2 modified").arg(checked).arg(modified);
    if (unreadable > 0) {
        text += QStringLiteral(", %1 unreadable").arg(unreadable);
    }
    return text;
}

GridStatus::GridStatus(DocumentTableModel& model, DocumentSortFilterModel& view, QStatusBar& bar)
    : QObject(&bar)
    , m_model(model)
    , m_view(view)
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
    std::size_t checked = 0;
    std::size_t modified = 0;
    std::size_t unreadable = 0;
    const engine::DocumentList& documents = m_model.documents();
    const auto countRow = [&](std::size_t row) {
        const engine::DocumentRecord& record = documents.RecordAt(row);
        checked += documents.CheckState(row) == engine::kChecked ? 1 : 0;
        modified += record.Modified ? 1 : 0;
        unreadable += record.LastError.empty() ? 0 : 1;
    };
    const std::size_t rows = documents.RowCount();
    if (!m_view.isFiltering()) {
        for (std::size_t row = 0; row < rows; ++row) {
            countRow(row);
        }
        m_label->setText(CountsText(rows, checked, modified, unreadable));
        return;
    }
    // While filtering the counts are those of the rows shown, the rows the commands act on.
    const std::vector<std::size_t> shown = m_view.shownRows();
    for (const std::size_t row : shown) {
        countRow(row);
    }
    m_label->setText(CountsText(shown.size(), checked, modified, unreadable, rows));
}

} // namespace app
