#include "app/window/CommandKeyGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

CommandKeyGuard::CommandKeyGuard(QWidget* area, QObject* parent)
    : QObject(parent)
    , m_area(area)
{
    qApp->installEventFilter(this);
}

bool CommandKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != m_area && !m_area->isAncestorOf(widget)) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& command : m_keys) {
        if (command.matches(pressed) == QKeySequence::ExactMatch) {
            // Not overridden: the shortcut goes to the window's action.
            event->ignore();
            return true;
        }
    }
    return false;
}

} // namespace app
