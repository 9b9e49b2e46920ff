#include "app/window/MenuVisibility.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

namespace app {

namespace {

class EmptyMenuWatcher : public QObject
{
public:
    explicit EmptyMenuWatcher(QMenu* menu)
        : QObject(menu)
        , m_menu(menu)
    {
        menu->installEventFilter(this);
        update();
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved) {
            // The removed action is still listed while its event is delivered.
            const qsizetype removing = event->type() == QEvent::ActionRemoved ? 1 : 0;
            m_menu->menuAction()->setVisible(m_menu->actions().size() > removing);
        }
        return false;
    }

private:
    void update() { m_menu->menuAction()->setVisible(!m_menu->actions().isEmpty()); }

    QMenu* m_menu;
};

} // namespace

void HideWhileEmpty(QMenu* menu)
{
    new EmptyMenuWatcher(menu);
}

} // namespace app
