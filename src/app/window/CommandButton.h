#pragma once

#include <QToolButton>

namespace app {

// A flat command-bar button with its picture above its caption. Captions too wide for the button
// wrap onto a second line instead of being cut short.
class CommandButton : public QToolButton
{
    Q_OBJECT

public:
    explicit CommandButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
