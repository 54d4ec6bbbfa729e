#include "widgets/Pictures.h"

#include "widgets/Assets.h"
#include "widgets/KeyboardFocus.h"

#include <QPaintEvent>
#include <QPainter>

namespace beamlet::widgets {

void ScaledPicture::setPath(const QString& path)
{
    path_ = path;
    scaled_ = QImage();
}

void ScaledPicture::paint(QPainter& painter, const QRect& target, qreal devicePixelRatio)
{
    if (path_.isEmpty())
        return;
    const QSize pixels = target.size() * devicePixelRatio;
    if (scaled_.isNull() || scaled_.size() != pixels) {
        const QImage source = loadPicture(path_, devicePixelRatio);
        if (source.isNull())
            return;
        // A picture drawn at its own size is drawn from where it stands, without a copy.
        scaled_ =
            source.size() == pixels ? source : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled_.setDevicePixelRatio(devicePixelRatio);
    }
    painter.drawImage(target.topLeft(), scaled_);
}

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

PictureWindow::PictureWindow(const QString& backgroundPath, Qt::WindowFlags flags)
    : QWidget(nullptr, flags | Qt::FramelessWindowHint),
      backgroundPath_(backgroundPath)
{
    // Moves over the bare surface arrive with or without a button held.
    setMouseTracking(true);
    // Its picture covers it whole: no background fill to draw first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWindow::paintEvent(QPaintEvent* event)
{
    if (background_.isNull())
        background_ = loadPicture(backgroundPath_, devicePixelRatioF());
    QPainter painter(this);
    if (background_.isNull()) {
        painter.fillRect(rect(), QColor(kMissingPictureFill));
        return;
    }
    // One rectangle at a time: each is a plain copy of rows. The region to paint
    // is the window less its opaque children, and drawn through it as a whole the
    // picture goes pixel run by pixel run, on a pool of threads started for it.
    for (const QRect& part : event->region()) {
        painter.setClipRect(part);
        painter.drawImage(0, 0, background_);
    }
}

}  // namespace beamlet::widgets
