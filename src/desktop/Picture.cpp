#include "Picture.h"

#include "Accessibility.h"

#include <QMouseEvent>
#include <QPainter>

namespace beamlet::desktop {

Picture::Picture(const QString& objectName, QWidget* parent) : QWidget(parent)
{
    setObjectName(objectName);
    // Moves without a button held must arrive too: they drive the hover highlights.
    setMouseTracking(true);
}

void Picture::setPicture(const QPixmap& pixmap)
{
    pixmap_ = pixmap;
    update();
}

void Picture::makeActionable(const QString& accessibleName)
{
    markAccessible(*this, QAccessible::Button, accessibleName);
}

void Picture::paintEvent(QPaintEvent*)
{
    if (pixmap_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), pixmap_);
}

void Picture::mousePressEvent(QMouseEvent* event)
{
    pressedInside_ = event->button() == Qt::LeftButton;
    emit pressed(event);
}

void Picture::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event);
}

void Picture::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event);
    const bool click = pressedInside_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click)
        emit clicked();
}

}  // namespace beamlet::desktop
