#include "widgets/PictureWindow.h"

#include "widgets/Assets.h"
#include "widgets/ScaledPicture.h"

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

void PictureWindow::paintEvent(QPaintEvent*)
{
    if (background_.isNull())
        background_ = loadPicture(backgroundPath_, devicePixelRatioF());
    QPainter painter(this);
    if (background_.isNull())
        painter.fillRect(rect(), QColor(kMissingPictureFill));
    else
        painter.drawImage(0, 0, background_);
}

}  // namespace beamlet::widgets
