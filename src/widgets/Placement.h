#pragma once
// Putting widgets where the layout says. The layout assumes a 1280 x 1024 screen;
// on a smaller one a window opens moved just enough to be wholly on it.
#include "core/Layout.h"

#include <QRect>
#include <QWidget>

namespace beamlet::widgets {

inline QRect toQRect(const core::Rect& r)
{
    return QRect(r.x, r.y, r.w, r.h);
}

inline void place(QWidget& widget, const core::Rect& r)
{
    widget.setGeometry(toQRect(r));
}

// The rect moved the least distance to lie inside area (its top-left kept in view
// when it is larger than the area).
QRect fitInto(const QRect& rect, const QRect& area);

// Fits the rect into the available area of the screen it mostly lies on, or of
// the primary screen when it lies on none.
QRect fitOnScreen(const QRect& rect);

}  // namespace beamlet::widgets
