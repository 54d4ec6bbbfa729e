#include "widgets/Picture.h"

#include <QPainter>

namespace beamlet::widgets {

Picture::Picture(const QString& objectName, const QString& path, QWidget* parent) : QWidget(parent), picture_(path)
{
    setObjectName(objectName);
}

void Picture::setPath(const QString& path)
{
    picture_.setPath(path);
    update();
}

void Picture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    picture_.paint(painter, rect(), devicePixelRatioF());
}

}  // namespace beamlet::widgets
