#include "widgets/ScaledPicture.h"

#include "widgets/Assets.h"

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

}  // namespace beamlet::widgets
