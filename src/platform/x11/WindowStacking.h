#pragma once
// Stacking and opacity on X11: Qt's, with every opacity step sent to the X server at once.
#include "platform/QtServices.h"

namespace beamlet::platform::x11 {

class WindowStacking final : public QtWindowStacking {
public:
    void setOpacity(QWidget& window, int alpha) override;
};

}  // namespace beamlet::platform::x11
