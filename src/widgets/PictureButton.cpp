#include "widgets/PictureButton.h"

#include "widgets/KeyboardFocus.h"

#include <QPainter>

namespace beamlet::widgets {

PictureButton::PictureButton(const QString& objectName, const QString& path, QWidget* parent)
    : QAbstractButton(parent),
      picture_(path)
{
    setObjectName(objectName);
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    picture_.paint(painter, rect(), devicePixelRatioF());
    if (hasFocus())
        paintFocusFrame(painter, rect());
}

}  // namespace beamlet::widgets
