#pragma once

#include <QWidget>

#include <atomic>
#include <cstddef>

class QLabel;
class QProgressBar;
class QToolButton;

namespace app {

class WaitAnimation;

// The wait box shown in front of everything while a long command runs: a fixed notice, a status
// line that keeps its last text across showings, a spinner, the progress of the packages done so
// far and a Cancel button that asks the running work to stop after the package in hand.
class TWaitForm : public QWidget
{
    Q_OBJECT

public:
    explicit TWaitForm(QWidget* parent = nullptr);

    // Shows the box (not modal) centred over its parent and painted before returning, or hides it.
    void ShowWaitBox(bool show, bool withCancel);
    void SetWaitText(const QString& text);
    // done of total packages finished; currentPath is the one in hand.
    void setProgress(std::size_t done, std::size_t total, const QString& currentPath);

    // Raised by Cancel, lowered each time the box is shown; read by the worker threads.
    [[nodiscard]] const std::atomic<bool>& CancelRequested() const { return m_cancelRequested; }

    void requestCancel() { m_cancelRequested = true; }

protected:
    // A frameless box needs an edge of its own to stand out from the window behind it.
    void paintEvent(QPaintEvent* event) override;
    // Follows the main window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centreOverParent();

    QLabel* m_notice = nullptr;
    QLabel* m_status = nullptr;
    QToolButton* m_cancel = nullptr;
    WaitAnimation* m_animation = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_currentFile = nullptr;
    std::atomic<bool> m_cancelRequested{false};
};

// Shows the wait box for a scope and hides it on every way out.
class WaitBoxScope
{
public:
    WaitBoxScope(TWaitForm& box, bool withCancel)
        : m_box(box)
    {
        m_box.ShowWaitBox(true, withCancel);
    }

    ~WaitBoxScope() { m_box.ShowWaitBox(false, false); }

    WaitBoxScope(const WaitBoxScope&) = delete;
    WaitBoxScope& operator=(const WaitBoxScope&) = delete;

private:
    TWaitForm& m_box;
};

} // namespace app
