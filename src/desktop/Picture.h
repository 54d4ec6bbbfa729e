#pragma once
// A picture control: draws one pixmap (stretched to the control when asked) and
// reports the mouse to its window, which owns the behaviour.
#include <QPixmap>
#include <QWidget>

namespace beamlet::desktop {

class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(const QString& objectName, QWidget* parent);

    void setPicture(const QPixmap& pixmap);
    const QPixmap& picture() const { return pixmap_; }
    // An accessible name and the role of a button, for pictures that act.
    void makeActionable(const QString& accessibleName);

signals:
    void pressed(QMouseEvent* event);
    void moved(QMouseEvent* event);
    void released(QMouseEvent* event);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap pixmap_;
    bool pressedInside_ = false;
};

}  // namespace beamlet::desktop
