#include "widgets/HoverGroup.h"

#include <QMouseEvent>

namespace beamlet::widgets {

HoverGroup::HoverGroup(QWidget& surface) : QObject(&surface), surface_(surface)
{
    // Moves without a button held must arrive too.
    surface_.setMouseTracking(true);
    surface_.installEventFilter(this);
}

void HoverGroup::join(LitButton& control)
{
    control.setMouseTracking(true);
    control.installEventFilter(this);
    members_.append(&control);
}

void HoverGroup::clear()
{
    for (LitButton* member : std::as_const(members_)) {
        if (member)
            member->setHighlighted(false);
    }
}

bool HoverGroup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove)
        return false;
    if (watched == &surface_) {
        // A move a control let through reaches the surface too: it is not the bare surface's.
        if (!surface_.childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            clear();
            emit movedOverSurface();
        }
    } else if (auto* control = qobject_cast<LitButton*>(watched)) {
        control->setHighlighted(true);
    }
    return false;
}

}  // namespace beamlet::widgets
