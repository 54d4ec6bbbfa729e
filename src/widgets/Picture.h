#pragma once
// A picture that only shows.
#include "widgets/ScaledPicture.h"

#include <QWidget>

namespace beamlet::widgets {

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

}  // namespace beamlet::widgets
