#include "widgets/HoverButton.h"

#include "widgets/KeyboardFocus.h"

#include <QPainter>

namespace beamlet::widgets {

HoverButton::HoverButton(const QString& objectName, const QString& restPath, const QString& hotPath, QWidget* parent)
    : LitButton(parent),
      rest_(restPath),
      hot_(hotPath)
{
    setObjectName(objectName);
    setFocusPolicy(Qt::NoFocus);
}

void HoverButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    (isHighlighted() ? hot_ : rest_).paint(painter, rect(), devicePixelRatioF());
    if (hasFocus())
        paintFocusFrame(painter, rect());
}

bool HoverButton::hitButton(const QPoint& pos) const
{
    return isHighlighted() && rect().contains(pos);
}

}  // namespace beamlet::widgets
