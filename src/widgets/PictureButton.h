#pragma once
// A picture that acts on a left click: pressed and released on it.
#include "widgets/ScaledPicture.h"

#include <QAbstractButton>

namespace beamlet::widgets {

class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(const QString& objectName, const QString& path, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture picture_;
};

}  // namespace beamlet::widgets
