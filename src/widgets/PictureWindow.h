#pragma once
// A top-level window drawn on its background picture, from the corner and
// unscaled: the window shows as much of it as its size allows. The picture is
// decoded when first painted, not before.
#include <QImage>
#include <QWidget>

namespace beamlet::widgets {

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
