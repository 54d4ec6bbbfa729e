#pragma once
// A pair of pictures at one place: the resting one shows until the pointer moves
// over it, then the highlighted one, until its hover group puts it out. Only the
// highlighted picture takes a click.
#include "widgets/LitButton.h"
#include "widgets/ScaledPicture.h"

namespace beamlet::widgets {

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

}  // namespace beamlet::widgets
