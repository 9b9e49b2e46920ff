#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace app {

// Lets the window's command shortcuts through while a cell editor of the grid has the keyboard:
// an editor would otherwise claim a key it also knows (Ctrl+E ends a line in a text box on some
// desktops) and the command would never run. The command itself commits the editor first.
class CommandKeyGuard : public QObject
{
    Q_OBJECT

public:
    // Watches key events for widgets inside area; installs itself on the application.
    CommandKeyGuard(QWidget* area, QObject* parent);

    void setKeys(QList<QKeySequence> keys) { m_keys = std::move(keys); }

    void addKey(const QKeySequence& key) { m_keys << key; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_area;
    QList<QKeySequence> m_keys;
};

} // namespace app
