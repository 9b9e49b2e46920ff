#pragma once

#include <QTimer>
#include <QWidget>

namespace app {

// A small looping spinner: twelve spokes whose brightness turns round while the widget is shown.
class WaitAnimation : public QWidget
{
    Q_OBJECT

public:
    explicit WaitAnimation(QWidget* parent = nullptr);

    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};

} // namespace app
