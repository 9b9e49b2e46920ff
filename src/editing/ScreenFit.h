#pragma once

#include <QObject>

class QEvent;
class QWidget;

namespace editing {

// Keeps every window of the application inside the available area of its screen, whatever the
// screen's size and scale: installed once on the application, it fits each top-level window as it
// is about to be shown.
class ScreenFit : public QObject
{
    Q_OBJECT

public:
    // Installs the one filter of the running application; further calls do nothing.
    static void install();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

// Shrinks window to the available area of its screen (never below its minimum size, unless its
// content scrolls) and, when it has a position of its own, moves it so that its frame and title
// bar lie on that screen. A window still to be placed by its dialog or by the window system is
// only shrunk: those place a window that fits on the screen.
void FitOnScreen(QWidget& window);

// Marks window to open centred on its screen, frame included, instead of where its dialog or the
// window system would put it.
void CentreOnScreen(QWidget& window);

// Shows content, whose size is fixed, through a borderless scroll area that fills window, and gives
// window content's size. On a screen too small for it the window shrinks and its content scrolls;
// otherwise no scroll bar shows.
void ScrollWhenTooSmall(QWidget& window, QWidget* content);

} // namespace editing
