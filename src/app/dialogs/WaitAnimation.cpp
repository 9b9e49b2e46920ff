#include "app/dialogs/WaitAnimation.h"

#include <QPainter>

#include <algorithm>

namespace app {

namespace {

constexpr int kSpokes = 12;
constexpr int kIntervalMs = 80;

} // namespace

WaitAnimation::WaitAnimation(QWidget* parent)
    : QWidget(parent)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
}

void WaitAnimation::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    const double outer = side * 0.45;
    const double inner = side * 0.22;
    QColor colour = palette().color(QPalette::Highlight);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is the brightest; the ones behind it fade out.
        const int age = (m_step - i + kSpokes) % kSpokes;
        colour.setAlphaF(1.0 - age / static_cast<double>(kSpokes));
        painter.setPen(QPen(colour, side * 0.08, Qt::SolidLine, Qt::RoundCap));
        painter.save();
        painter.rotate(i * 360.0 / kSpokes);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.restore();
    }
}

void WaitAnimation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer.start();
}

void WaitAnimation::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

} // namespace app
