#include "app/grid/DocumentGrid.h"

#include "app/grid/DocumentTableModel.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace app {

DocumentGrid::DocumentGrid(QWidget* parent)
    : FocusEditView(parent)
{
    setObjectName(QStringLiteral("VT"));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(20);

    QHeaderView* columns = horizontalHeader();
    columns->setFixedHeight(17);
    columns->setSectionsMovable(true);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    // QTableView fits a column to its texts when its divider is double-clicked.

    // Sorting follows the three-step cycle of sortByHeader, not QTableView's two-step one.
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(false);
    connect(columns, &QHeaderView::sectionClicked, this, &DocumentGrid::sortByHeader);
}

void DocumentGrid::sortByHeader(int column)
{
    QHeaderView* header = horizontalHeader();
    commitOpenEditor();
    int sortColumn = column;
    Qt::SortOrder order = Qt::AscendingOrder;
    if (m_sortColumn == column) {
        if (m_sortOrder == Qt::AscendingOrder) {
            order = Qt::DescendingOrder;
        } else {
            sortColumn = -1;
        }
    }
    m_sortColumn = sortColumn;
    m_sortOrder = order;
    const QModelIndex current = currentIndex();
    model()->sort(sortColumn, order);
    header->setSortIndicatorShown(sortColumn >= 0);
    if (sortColumn >= 0) {
        header->setSortIndicator(sortColumn, order);
    }
    if (current.isValid()) {
        scrollTo(currentIndex());
    }
}

void DocumentGrid::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && current.isValid() &&
        state() != QAbstractItemView::EditingState) {
        const bool checked = current.siblingAtColumn(0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
        emit checkSelectedRequested(!checked);
        event->accept();
        return;
    }
    FocusEditView::keyPressEvent(event);
}

void DocumentGrid::placeInFirstColumnHeader(QWidget* widget)
{
    m_headerWidget = widget;
    QHeaderView* header = horizontalHeader();
    widget->setParent(header->viewport());
    widget->resize(15, 17);
    widget->show();
    connect(header, &QHeaderView::sectionResized, this, &DocumentGrid::placeHeaderWidget);
    connect(header, &QHeaderView::sectionMoved, this, &DocumentGrid::placeHeaderWidget);
    connect(header, &QHeaderView::geometriesChanged, this, &DocumentGrid::placeHeaderWidget);
    connect(header, &QHeaderView::sectionCountChanged, this, &DocumentGrid::placeHeaderWidget);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &DocumentGrid::placeHeaderWidget);
    placeHeaderWidget();
}

void DocumentGrid::placeHeaderWidget()
{
    if (m_headerWidget == nullptr) {
        return;
    }
    QHeaderView* header = horizontalHeader();
    const bool shown = header->count() > 0 && !header->isSectionHidden(0);
    m_headerWidget->setVisible(shown);
    if (shown) {
        const int top = std::max(0, (header->height() - m_headerWidget->height()) / 2);
        m_headerWidget->move(header->sectionViewportPosition(0) + 3, top);
    }
}

int DocumentGrid::cellTextMargin() const
{
    // The item delegate's padding on both sides, and the grid line.
    return 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 1;
}

int DocumentGrid::fittingWidth(int column) const
{
    if (model() == nullptr) {
        return 0;
    }
    const QFontMetrics headerFont(horizontalHeader()->font());
    const QString caption = model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    // Room for the sort arrow too, so that sorting by the column does not cut its caption.
    const int captionWidth = headerFont.horizontalAdvance(caption) +
                             3 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) +
                             style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) + 4;
    if (!model()->headerData(column, Qt::Horizontal, kDateColumnRole).toBool()) {
        return captionWidth;
    }
    // The widest digit in every digit place of "YYYY-MM-DD hh:mm:ss", in bold: a changed value is
    // shown in bold.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics cellFont(bold);
    QChar widest = QLatin1Char('0');
    for (char digit = '0'; digit <= '9'; ++digit) {
        if (cellFont.horizontalAdvance(QLatin1Char(digit)) > cellFont.horizontalAdvance(widest)) {
            widest = QLatin1Char(digit);
        }
    }
    QString date = QStringLiteral("0000-00-00 00:00:00");
    date.replace(QLatin1Char('0'), widest);
    return std::max(captionWidth, cellFont.horizontalAdvance(date) + cellTextMargin());
}

bool DocumentGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && !index.data(Qt::ToolTipRole).isValid()) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const QRect cell = visualRect(index);
            const int room = cell.width() - cellTextMargin() -
                             (index.data(Qt::CheckStateRole).isValid() ? cell.height() : 0) -
                             (index.data(Qt::DecorationRole).isValid() ? iconSize().width() + 4 : 0);
            if (!text.isEmpty() && QFontMetrics(font()).horizontalAdvance(text) > room) {
                QToolTip::showText(help->globalPos(), text, viewport(), cell);
            } else {
                QToolTip::hideText();
            }
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void DocumentGrid::setModel(QAbstractItemModel* model)
{
    FocusEditView::setModel(model);
    // Columns that come later (statistics, custom properties) start wide enough for their caption.
    connect(model, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
        QHeaderView* header = horizontalHeader();
        for (int column = first; column <= last; ++column) {
            header->resizeSection(column, std::max(header->sectionSize(column), fittingWidth(column)));
        }
    });
}

void DocumentGrid::setCellDelegate(QAbstractItemDelegate* delegate)
{
    delegate->setParent(this);
    setItemDelegate(delegate);
}

} // namespace app
