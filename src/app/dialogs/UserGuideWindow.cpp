#include "app/dialogs/UserGuideWindow.h"

#include "app/dialogs/Dialogs.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace app {

namespace {

const QString kGuideResource = QStringLiteral(":/velmora/user-guide.md");

} // namespace

QString UserGuideMarkdown()
{
    QFile guide(kGuideResource);
    if (!guide.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(guide.readAll());
}

UserGuideWindow::UserGuideWindow(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("UserGuideWindow"));
    setWindowTitle(QStringLiteral("Velmora User Guide"));
    resize(760, 640);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("UserGuideText"));
    // Links are followed here: anchors within the guide, anything else handed to the desktop.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &UserGuideWindow::follow);
    const QString markdown = UserGuideMarkdown();
    if (markdown.isEmpty()) {
        m_browser->setPlainText(QStringLiteral("The user guide is missing from this build."));
    } else {
        m_browser->setMarkdown(markdown);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons->button(QDialogButtonBox::Close), &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
}

void UserGuideWindow::follow(const QUrl& link)
{
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        m_browser->scrollToAnchor(link.fragment());
    } else {
        Dialogs::openUrl(link);
    }
}

UserGuideWindow* UserGuideWindow::showFor(QWidget* owner)
{
    auto* window = owner->findChild<UserGuideWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        window = new UserGuideWindow(owner);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace app
