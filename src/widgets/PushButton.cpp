#include "widgets/PushButton.h"

#include "widgets/Fonts.h"
#include "widgets/KeyboardFocus.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace beamlet::widgets {

ButtonLook ButtonLook::blue()
{
    return ButtonLook{QColor(16, 106, 228), QColor(43, 140, 221), QColor(16, 106, 228)};
}

ButtonLook ButtonLook::white()
{
    return ButtonLook{QColor(255, 255, 255), QColor(255, 255, 255), QColor(192, 192, 192)};
}

ButtonLook ButtonLook::green()
{
    return ButtonLook{QColor(128, 255, 128), QColor(192, 255, 192), QColor(128, 255, 128)};
}

PushButton::PushButton(const QString& objectName, const QString& caption, const ButtonLook& look, QWidget* parent)
    : LitButton(parent),
      look_(look)
{
    setObjectName(objectName);
    setText(caption);  // an "&" makes the next letter the access key
    setFont(windowFont(Face::Verdana, 8.25, look.bold));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_Hover);
}

void PushButton::setIconPicture(const QPixmap& pixmap, QSize logicalSize)
{
    icon_ = pixmap;
    iconSize_ = logicalSize;
    update();
}

QSize PushButton::sizeHint() const
{
    return QSize(129, 33);
}

void PushButton::enterEvent(QEnterEvent* event)
{
    setHighlighted(true);
    LitButton::enterEvent(event);
}

void PushButton::leaveEvent(QEvent* event)
{
    setHighlighted(false);
    LitButton::leaveEvent(event);
}

// The rounded face: a gradient from the look's colours, darker while held down,
// a flat grey while disabled.
void PushButton::paintFace(QPainter& painter, bool enabled, bool down, bool hot) const
{
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor face = hot ? look_.faceHover : look_.face;
    QColor edge = look_.edge;
    if (!enabled) {
        // A light, flat grey whatever the face, so the greyed caption stays legible.
        face = QColor(196, 201, 209);
        edge = QColor(150, 154, 160);
    }
    QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
    if (down) {
        gradient.setColorAt(0, face.darker(125));
        gradient.setColorAt(1, face.darker(105));
    } else {
        gradient.setColorAt(0, face.lighter(135));
        gradient.setColorAt(0.45, face.lighter(108));
        gradient.setColorAt(0.5, face);
        gradient.setColorAt(1, edge.darker(112));
    }
    QPainterPath path;
    path.addRoundedRect(frame, 4, 4);
    painter.fillPath(path, gradient);
    painter.setPen(QPen(edge.darker(150), 1));
    painter.drawPath(path);
}

// Icon and caption, centred together; the icon beside (left of) or above.
PushButton::ContentPlaces PushButton::placeContents() const
{
    const QFontMetrics metrics(font());
    QString shown = text();
    shown.remove(QLatin1Char('&'));
    const bool hasIcon = !icon_.isNull();
    const int gap = hasIcon ? 4 : 0;
    if (hasIcon && look_.iconPlace == ButtonLook::IconPlace::Above) {
        // A narrow button breaks its caption into lines under the icon.
        const QRect wrapped =
            metrics.boundingRect(QRect(0, 0, width() - 4, height()), Qt::AlignHCenter | Qt::TextWordWrap, shown);
        const int total = iconSize_.height() + gap + wrapped.height();
        const int top = (height() - total) / 2;
        return {QRect(QPoint((width() - iconSize_.width()) / 2, top), iconSize_),
                QRect(2, top + iconSize_.height() + gap, width() - 4, wrapped.height()),
                Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap};
    }
    const int textWidth = metrics.horizontalAdvance(shown);
    const QSize icon = hasIcon ? iconSize_.boundedTo(QSize(height() - 2, height() - 2)) : QSize();
    const int total = icon.width() + gap + textWidth;
    const int left = (width() - total) / 2;
    return {QRect(QPoint(left, (height() - icon.height()) / 2), icon),
            QRect(left + icon.width() + gap, 0, textWidth + 2, height()), Qt::AlignCenter | Qt::TextShowMnemonic};
}

void PushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    const bool down = isDown() && enabled;
    const bool hot = isHighlighted() && enabled;
    paintFace(painter, enabled, down, hot);

    const ContentPlaces places = placeContents();
    const QPoint shift = down ? QPoint(1, 1) : QPoint();
    if (!icon_.isNull()) {
        if (!enabled)
            painter.setOpacity(0.45);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(places.icon.translated(shift), icon_);
        painter.setOpacity(1.0);
    }
    painter.setPen(enabled ? (hot ? look_.captionHover : look_.caption) : QColor(112, 116, 122));
    painter.drawText(places.text.translated(shift), places.textFlags, text());

    if (hasFocus())
        paintFocusFrame(painter, rect().adjusted(3, 3, -3, -3));
}

}  // namespace beamlet::widgets
