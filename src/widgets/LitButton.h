#pragma once
// A button that shows whether the pointer was last over it; its hover group
// (widgets/HoverGroup.h) lights it and puts it out.
#include <QAbstractButton>

namespace beamlet::widgets {

class LitButton : public QAbstractButton {
    Q_OBJECT
public:
    using QAbstractButton::QAbstractButton;
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

protected:
    // How the control shows the change; a repaint unless it says otherwise.
    virtual void highlightChanged() { update(); }

private:
    bool highlighted_ = false;
};

}  // namespace beamlet::widgets
