#pragma once

#include <QWidget>

class QTextBrowser;

namespace app {

// The user guide, compiled into the program, in a window of its own: help that needs no browser
// and no network. The guide is Markdown (docs/user-guide.md), rendered by Qt.
class UserGuideWindow : public QWidget
{
    Q_OBJECT

public:
    explicit UserGuideWindow(QWidget* owner);

    [[nodiscard]] QTextBrowser& browser() const { return *m_browser; }

    // Shows the owner's guide window, made on first use, in front.
    static UserGuideWindow* showFor(QWidget* owner);

private:
    void follow(const QUrl& link);

    QTextBrowser* m_browser = nullptr;
};

// The guide's text as compiled in; empty when the resource is missing.
QString UserGuideMarkdown();

} // namespace app
