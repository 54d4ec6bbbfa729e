#include "WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace beamlet::desktop {

WindowDrag::WindowDrag(QWidget& window, std::function<void()> clearHighlights)
    : window_(window), clearHighlights_(std::move(clearHighlights))
{
}

void WindowDrag::press(const QMouseEvent& event)
{
    // Any button stores the press point; only the move decides whether to drag.
    pressPoint_ = event.position().toPoint();
    pressGlobal_ = event.globalPosition().toPoint();
    windowAtPress_ = window_.pos();
    armed_ = true;
}

void WindowDrag::move(const QMouseEvent& event)
{
    window_.unsetCursor();
    if (clearHighlights_)
        clearHighlights_();
    if (!armed_ || event.buttons() != Qt::LeftButton)
        return;
    // Measured on the screen from the press, so a window manager that applies
    // moves late cannot make the window lag or jitter; the result is the same
    // displacement the pointer made. The window may go off screen.
    const QPoint displacement = event.globalPosition().toPoint() - pressGlobal_;
    window_.move(windowAtPress_ + displacement);
}

}  // namespace beamlet::desktop
