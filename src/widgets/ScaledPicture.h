#pragma once
// One picture from the resources, decoded when first painted, not before, and
// scaled once, smoothly, to the device pixels it is drawn at. The picture-drawn
// controls and windows are made of these.
#include <QColor>
#include <QImage>
#include <QString>

class QPainter;

namespace beamlet::widgets {

// What a window or panel shows where its picture cannot be read: the blue of its
// frame, so a broken install still shows where things are.
inline constexpr QRgb kMissingPictureFill = qRgb(40, 90, 170);

// Kept scaled to the size it was last drawn at.
class ScaledPicture {
public:
    explicit ScaledPicture(QString path = {}) : path_(std::move(path)) {}
    void setPath(const QString& path);
    const QString& path() const { return path_; }
    void paint(QPainter& painter, const QRect& target, qreal devicePixelRatio);

private:
    QString path_;
    QImage scaled_;
};

}  // namespace beamlet::widgets
