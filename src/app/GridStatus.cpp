#include "app/GridStatus.h"

#include "app/DocumentTableModel.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace app {

QString CountsText(std::size_t rows, std::size_t checked, std::size_t modified, std::size_t unreadable)
{
    QString text = QStringLiteral("%1 %2, %3 checked, %4 modified")
                       .arg(rows)
                       .arg(rows == 1 ? QStringLiteral("package") : QStringLiteral("packages"))
                       .arg(checked)
                       .arg(modified);
    if (unreadable > 0) {
        text += QStringLiteral(", %1 unreadable").arg(unreadable);
    }
    return text;
}

GridStatus::GridStatus(DocumentTableModel& model, QStatusBar& bar)
    : QObject(&bar)
    , m_model(model)
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
    const std::size_t rows = documents.RowCount();
    for (std::size_t row = 0; row < rows; ++row) {
        const engine::DocumentRecord& record = documents.RecordAt(row);
        checked += documents.CheckState(row) == engine::kChecked ? 1 : 0;
        modified += record.Modified ? 1 : 0;
        unreadable += record.LastError.empty() ? 0 : 1;
    }
    m_label->setText(CountsText(rows, checked, modified, unreadable));
}

} // namespace app
