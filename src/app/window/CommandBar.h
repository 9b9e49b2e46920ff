#pragma once

#include <QWidget>

#include <vector>

class QAction;
class QMenu;
class QToolButton;

namespace app {

class CommandButton;

// The command bar: flat buttons of one size side by side, each triggering its QAction. When the
// bar is too narrow for all of them, the ones that do not fit leave the bar and their commands
// move into the menu of an extension button at its right end, as in a Qt tool bar, so every
// command stays reachable whatever the window width or the scaling.
class CommandBar : public QWidget
{
    Q_OBJECT

public:
    explicit CommandBar(QWidget* parent = nullptr);

    CommandButton* addButton(QAction* action, const QString& objectName);

    [[nodiscard]] QToolButton* extensionButton() const { return m_extension; }

    // The commands that do not fit and sit in the extension menu, in bar order.
    [[nodiscard]] QList<QAction*> overflowActions() const;

    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();

    std::vector<CommandButton*> m_buttons;
    QToolButton* m_extension = nullptr;
    QMenu* m_overflow = nullptr;
};

} // namespace app
