#include "KeyboardFocus.h"

#include <QPainter>
#include <QWidget>

namespace beamlet::widgets {

void paintFocusFrame(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QRect frame = rect.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(frame);
    painter.restore();
}

bool seenWhole(const QWidget& control, const QList<const QWidget*>& covers)
{
    const QWidget* window = control.window();
    if (!control.isVisibleTo(window))
        return false;
    // Each parent clips what it holds.
    for (const QWidget* level = &control; level != window; level = level->parentWidget()) {
        const QWidget* parent = level->parentWidget();
        if (!parent->rect().contains(QRect(control.mapTo(parent, QPoint(0, 0)), control.size())))
            return false;
    }
    const QRect place(control.mapTo(window, QPoint(0, 0)), control.size());
    for (const QWidget* cover : covers) {
        if (cover && cover->isVisibleTo(window) && QRect(cover->mapTo(window, QPoint(0, 0)), cover->size()).intersects(place))
            return false;
    }
    return true;
}

}  // namespace beamlet::widgets
