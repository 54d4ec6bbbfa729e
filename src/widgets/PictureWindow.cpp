#include "widgets/PictureWindow.h"

#include "widgets/Assets.h"
#include "widgets/ScaledPicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace beamlet::widgets {

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
