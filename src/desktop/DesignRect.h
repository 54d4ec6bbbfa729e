#pragma once
// The design's pixel rectangles as Qt rectangles.
#include "DesignGeometry.h"

#include <QRect>

namespace beamlet::design {

inline QRect qrect(const Rect& r)
{
    return QRect(r.x, r.y, r.w, r.h);
}

}  // namespace beamlet::design
