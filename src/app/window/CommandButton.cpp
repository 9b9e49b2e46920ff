#include "app/window/CommandButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace app {

CommandButton::CommandButton(QWidget* parent)
    : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
    // Clicking a command leaves an open cell editor open.
    setFocusPolicy(Qt::NoFocus);
}

void CommandButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style draws the raised or sunken panel and the picture; the caption is drawn here.
    option.text.clear();
    option.toolButtonStyle = Qt::ToolButtonIconOnly;
    const QRect iconArea(0, 2, width(), iconSize().height() + 4);
    option.rect = iconArea;
    QStyleOptionToolButton panel = option;
    panel.rect = rect();
    panel.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, panel);
    if (!isEnabled()) {
        // Dark monochrome pictures hardly change in the style's disabled mode; fade them like
        // the caption so that an unavailable command looks unavailable.
        painter.setOpacity(0.4);
    }
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
    painter.setOpacity(1.0);

    const QRect textArea(1, iconArea.bottom() + 1, width() - 2, height() - iconArea.bottom() - 1);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
}

} // namespace app
