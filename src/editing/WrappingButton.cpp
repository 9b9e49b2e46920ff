#include "editing/WrappingButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace editing {

void WrappingButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawItemText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, palette(),
                         isEnabled(), caption, QPalette::ButtonText);
}

} // namespace editing
