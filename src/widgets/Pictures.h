#pragma once
// Controls drawn from pictures. Each picture is decoded when first painted, not
// before, and scaled once, smoothly, to the control's device pixels.
#include "widgets/HoverGroup.h"

#include <QAbstractButton>
#include <QImage>
#include <QWidget>

namespace beamlet::widgets {

// What a window or panel shows where its picture cannot be read: the blue of its
// frame, so a broken install still shows where things are.
inline constexpr QRgb kMissingPictureFill = qRgb(40, 90, 170);

// One picture from the resources, kept scaled to the size it was last drawn at.
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

// A picture that only shows.
class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(const QString& objectName, const QString& path, QWidget* parent);
    void setPath(const QString& path);
    const QString& path() const { return picture_.path(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture picture_;
};

// A picture that acts on a left click: pressed and released on it.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QString& objectName, const QString& path, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture picture_;
};

// A pair of pictures at one place: the resting one shows until the pointer moves
// over it, then the highlighted one, until its hover group puts it out. Only the
// highlighted picture takes a click.
class HoverButton : public LitButton {
    Q_OBJECT
public:
    HoverButton(const QString& objectName, const QString& restPath, const QString& hotPath, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    ScaledPicture rest_;
    ScaledPicture hot_;
};

// A top-level window drawn on its background picture, from the corner and
// unscaled: the window shows as much of it as its size allows.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    PictureWindow(const QString& backgroundPath, Qt::WindowFlags flags);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString backgroundPath_;
    QImage background_;
};

}  // namespace beamlet::widgets
