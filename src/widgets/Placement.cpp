#include "widgets/Placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace beamlet::widgets {

QRect fitInto(const QRect& rect, const QRect& area)
{
    QRect fitted = rect;
    if (fitted.right() > area.right())
        fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom())
        fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left())
        fitted.moveLeft(area.left());
    if (fitted.top() < area.top())
        fitted.moveTop(area.top());
    return fitted;
}

QRect fitOnScreen(const QRect& rect)
{
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->geometry().intersected(rect);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? fitInto(rect, best->availableGeometry()) : rect;
}

}  // namespace beamlet::widgets
