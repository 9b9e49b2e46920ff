#include "editing/ScreenFit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace editing {

namespace {

const QString kScrollAreaName = QStringLiteral("ScreenFitScroll");
const char* const kCentreProperty = "screenFitCentre";

// Main windows, dialogs and tool windows; menus, tooltips and pop-ups place themselves.
bool IsFittedWindow(const QWidget& widget)
{
    if (!widget.isWindow()) {
        return false;
    }
    const Qt::WindowType type = widget.windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

QMargins KnownFrame(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// The window system adds its frame only once a window is shown the first time; until then the
// owner's frame, or the style's title bar, stands in for it.
QMargins FrameOf(const QWidget& window)
{
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return {};
    }
    if (const QMargins own = KnownFrame(window); !own.isNull()) {
        return own;
    }
    if (const QWidget* owner = window.parentWidget()) {
        if (const QMargins owners = KnownFrame(*owner->window()); !owners.isNull()) {
            return owners;
        }
    }
    const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &window);
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

// A window opens on its owner's screen; one without an owner on the screen under its middle.
QScreen* ScreenOf(const QWidget& window)
{
    if (const QWidget* owner = window.parentWidget()) {
        return owner->window()->screen();
    }
    if (QScreen* under = QGuiApplication::screenAt(window.frameGeometry().center())) {
        return under;
    }
    return window.screen();
}

// Content's own size where room allows it; a cut in one direction brings in a scroll bar, whose
// width the other direction gets too, so that a cut in height alone never cuts the width.
QSize ScrollingSize(QSize content, QSize room, int scrollBar)
{
    QSize size = content.boundedTo(room);
    if (size.height() < content.height()) {
        size.setWidth(std::min(content.width() + scrollBar, room.width()));
    }
    if (size.width() < content.width()) {
        size.setHeight(std::min(content.height() + scrollBar, room.height()));
    }
    return size;
}

void FitSize(QWidget& window, QSize room)
{
    auto* scroll = window.findChild<QScrollArea*>(kScrollAreaName, Qt::FindDirectChildrenOnly);
    if (scroll != nullptr && scroll->widget() != nullptr) {
        const int bar =
            window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll->verticalScrollBar());
        window.setFixedSize(ScrollingSize(scroll->widget()->size(), room, bar));
        return;
    }
    const QSize fitted = window.size().boundedTo(room).expandedTo(window.minimumSize());
    if (fitted != window.size()) {
        window.resize(fitted);
    }
}

} // namespace

void ScreenFit::install()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr ||
        application->findChild<ScreenFit*>(QString(), Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    application->installEventFilter(new ScreenFit(application));
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window reaches the screen, and before a dialog places
    // itself, with the size its layout gave it.
    if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (IsFittedWindow(*widget)) {
            FitOnScreen(*widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FitOnScreen(QWidget& window)
{
    if (window.isMaximized() || window.isFullScreen()) {
        return;
    }
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameOf(window);
    FitSize(window, area.marginsRemoved(frame).size());

    const bool centre = window.property(kCentreProperty).toBool();
    if (!centre && !window.testAttribute(Qt::WA_Moved)) {
        return;
    }
    // A window's position is that of its frame. Where even the minimum size is too large, the
    // top left corner, and with it the title bar, stays on the screen.
    const QSize outer = window.size().grownBy(frame);
    const QPoint wanted = centre ? area.center() - QRect(QPoint(), outer).center() : window.pos();
    const QPoint place(std::max(area.left(), std::min(wanted.x(), area.right() + 1 - outer.width())),
                       std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - outer.height())));
    if (centre || place != window.pos()) {
        window.move(place);
    }
}

void CentreOnScreen(QWidget& window)
{
    window.setProperty(kCentreProperty, true);
}

void ScrollWhenTooSmall(QWidget& window, QWidget* content)
{
    auto* scroll = new QScrollArea(&window);
    scroll->setObjectName(kScrollAreaName);
    scroll->setFrameShape(QFrame::NoFrame);
    // The controls take the focus, and the area scrolls to the one that has it.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    window.setFixedSize(content->size());
}

} // namespace editing
