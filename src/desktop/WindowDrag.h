#pragma once
// Drag-to-move for borderless windows: a press on the handle keeps the press
// point; a move with the left button alone moves the window by exactly the
// pointer's displacement. Every move over the handle also clears the window's
// hover highlights and restores the default pointer.
#include <QPoint>

#include <functional>

class QMouseEvent;
class QWidget;

namespace beamlet::desktop {

class WindowDrag {
public:
    WindowDrag(QWidget& window, std::function<void()> clearHighlights);

    void press(const QMouseEvent& event);
    // Clears the highlights; moves the window only between a press and its release.
    void move(const QMouseEvent& event);
    void release() { armed_ = false; }

    QPoint pressPoint() const { return pressPoint_; }

private:
    QWidget& window_;
    std::function<void()> clearHighlights_;
    QPoint pressPoint_;       // where on the handle the last press was
    QPoint pressGlobal_;      // the same press on the screen
    QPoint windowAtPress_;
    bool armed_ = false;
};

}  // namespace beamlet::desktop
