#include "widgets/LitButton.h"

namespace beamlet::widgets {

void LitButton::setHighlighted(bool highlighted)
{
    if (highlighted_ == highlighted)
        return;
    highlighted_ = highlighted;
    highlightChanged();
}

}  // namespace beamlet::widgets
