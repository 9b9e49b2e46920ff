#include "app/details/ThumbnailView.h"

#include <QPainter>
#include <QPalette>

namespace app {

ThumbnailView::ThumbnailView(QWidget* parent)
    : QWidget(parent)
{
    // Any width the pane has; the picture follows it instead of widening the pane.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumHeight(fontMetrics().height() * 4);
}

void ThumbnailView::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_text.clear();
    update();
}

void ThumbnailView::setText(const QString& text)
{
    m_picture = QPixmap();
    m_text = text;
    update();
}

QSize ThumbnailView::sizeHint() const
{
    // The 4:3 of most slides.
    return {240, 180};
}

void ThumbnailView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(4, 4, -4, -4);
    if (m_picture.isNull()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_text);
        return;
    }
    QSize shown = m_picture.size() / m_picture.devicePixelRatio();
    shown.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), shown);
    target.moveCenter(area.center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, m_picture);
}

} // namespace app
