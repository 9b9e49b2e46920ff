#include "app/window/CommandBar.h"

#include "app/window/CommandButton.h"

#include <QAction>
#include <QMenu>
#include <QResizeEvent>
#include <QToolButton>

namespace app {

namespace {

constexpr int kFirstX = 11;
constexpr int kTop = 7;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 60;
constexpr int kButtonStep = 83; // neighbouring buttons overlap by one pixel
constexpr int kBarHeight = 76;
constexpr int kExtensionWidth = 22;

} // namespace

CommandBar::CommandBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFixedHeight(kBarHeight);
    m_overflow = new QMenu(this);
    m_overflow->setObjectName(QStringLiteral("CommandBarOverflow"));
    m_extension = new QToolButton(this);
    m_extension->setObjectName(QStringLiteral("CommandBarExtension"));
    m_extension->setText(QStringLiteral("\u00bb"));
    m_extension->setToolTip(QStringLiteral("More commands"));
    m_extension->setAutoRaise(true);
    m_extension->setFocusPolicy(Qt::NoFocus);
    m_extension->setPopupMode(QToolButton::InstantPopup);
    // The chevron says enough; the style's menu arrow would crowd it.
    m_extension->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    m_extension->setMenu(m_overflow);
    m_extension->hide();
}

CommandButton* CommandBar::addButton(QAction* action, const QString& objectName)
{
    auto* button = new CommandButton(this);
    button->setObjectName(objectName);
    // Caption, picture, tooltip and enabled state all follow the action.
    button->setDefaultAction(action);
    button->setIconSize(QSize(24, 24));
    m_buttons.push_back(button);
    layoutButtons();
    return button;
}

QList<QAction*> CommandBar::overflowActions() const
{
    return m_overflow->actions();
}

QSize CommandBar::minimumSizeHint() const
{
    // The first button and the extension button: everything else can move into the menu.
    return {kFirstX + kButtonWidth + kExtensionWidth + 4, kBarHeight};
}

void CommandBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}

void CommandBar::layoutButtons()
{
    const auto count = static_cast<int>(m_buttons.size());
    const auto rightEdge = [](int k) { return kFirstX + kButtonStep * k + kButtonWidth; };
    int fitting = count;
    if (count > 0 && rightEdge(count - 1) > width()) {
        fitting = 0;
        while (fitting < count && rightEdge(fitting) <= width() - kExtensionWidth - 2) {
            ++fitting;
        }
    }
    m_overflow->clear();
    for (int k = 0; k < count; ++k) {
        CommandButton* button = m_buttons[static_cast<std::size_t>(k)];
        button->setGeometry(kFirstX + kButtonStep * k, kTop, kButtonWidth, kButtonHeight);
        button->setVisible(k < fitting);
        if (k >= fitting) {
            m_overflow->addAction(button->defaultAction());
        }
    }
    m_extension->setGeometry(width() - kExtensionWidth - 1, kTop, kExtensionWidth, kButtonHeight);
    m_extension->setVisible(fitting < count);
}

} // namespace app
