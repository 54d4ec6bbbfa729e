#include "widgets/WindowDragger.h"

#include <QMouseEvent>
#include <QWidget>

namespace beamlet::widgets {

WindowDragger::WindowDragger(QWidget& handle, QWidget& window, Handle area)
    : QObject(&handle),
      handle_(handle),
      window_(window),
      area_(area)
{
    handle_.setMouseTracking(true);
    handle_.installEventFilter(this);
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched != &handle_
        || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    // Events a child let through reach the handle too; they are not the bare surface's.
    const bool onHandle = area_ == Handle::WholeWidget || !handle_.childAt(mouse->position().toPoint());
    switch (type) {
    case QEvent::MouseButtonPress:
        if (onHandle) {
            pressGlobal_ = mouse->globalPosition().toPoint();
            windowAtPress_ = window_.pos();
            held_ = true;
        } else if (mouse->buttons() == mouse->button()) {
            held_ = false;  // a new press elsewhere is no drag
        }
        break;
    case QEvent::MouseButtonRelease:
        if (mouse->buttons() == Qt::NoButton)
            held_ = false;
        break;
    default:
        if (!onHandle && !held_)
            break;
        window_.unsetCursor();
        emit movedOverHandle();
        if (held_ && mouse->buttons() == Qt::LeftButton) {
            // Measured on the screen from the press, so a window manager that applies
            // moves late cannot make the window lag or jitter. It may go off screen.
            window_.move(windowAtPress_ + (mouse->globalPosition().toPoint() - pressGlobal_));
        }
        break;
    }
    return false;
}

}  // namespace beamlet::widgets
