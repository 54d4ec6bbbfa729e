#include "widgets/KeyboardFocus.h"

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
        if (cover && cover->isVisibleTo(window)
            && QRect(cover->mapTo(window, QPoint(0, 0)), cover->size()).intersects(place))
            return false;
    }
    return true;
}

void setKeyboardOrder(const QList<QWidget*>& stops)
{
    QList<Qt::FocusPolicy> policies;
    for (QWidget* stop : stops) {
        policies << stop->focusPolicy();
        if (stop->focusPolicy() == Qt::NoFocus)
            stop->setFocusPolicy(Qt::TabFocus);
    }
    for (qsizetype i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    for (qsizetype i = 0; i < stops.size(); ++i)
        stops[i]->setFocusPolicy(policies[i]);
}

}  // namespace beamlet::widgets
