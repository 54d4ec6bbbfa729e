#pragma once
// What the keyboard may reach, and how the control holding the focus shows it.
#include <QList>
#include <QRect>

class QPainter;
class QWidget;

namespace beamlet::widgets {

// How every control without a caret shows that it holds the focus, drawn by
// the control itself: a one-pixel frame of alternating black and white dots,
// clear on every face, picture and background the windows have. A text box
// shows it by its caret alone.
void paintFocusFrame(QPainter& painter, const QRect& rect);

// Whether the whole control can be seen: shown, inside its window and each
// parent, and not overlapped by any of the covers, the panels that lie in front
// of it. Only such a control may hold the keyboard focus.
bool seenWhole(const QWidget& control, const QList<const QWidget*>& covers);

// Sets the Tab order of the controls, including those that cannot take the
// focus right now (Qt leaves such controls out of an order given otherwise).
void setKeyboardOrder(const QList<QWidget*>& stops);

}  // namespace beamlet::widgets
