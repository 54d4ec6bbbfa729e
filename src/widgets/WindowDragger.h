#pragma once
// Drag-to-move for a borderless window, as an event filter on its handle. While
// the buttons held were first pressed on the handle, a move with the left button
// alone moves the window by exactly the distance the pointer went since the last
// press there, whatever button that press was. Every move over the handle also
// reports itself, for the window to clear its highlights, and restores the
// default pointer.
#include <QObject>
#include <QPoint>

class QWidget;

namespace beamlet::widgets {

class WindowDragger : public QObject {
    Q_OBJECT
public:
    enum class Handle {
        WholeWidget,  // every press and move on the handle counts
        BareSurface,  // only where none of the handle's children lies
    };

    // Installs itself on the handle; the window is the top-level widget it moves.
    WindowDragger(QWidget& handle, QWidget& window, Handle area = Handle::WholeWidget);

signals:
    void movedOverHandle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& handle_;
    QWidget& window_;
    Handle area_;
    QPoint pressGlobal_;  // the last press on the handle, on the screen
    QPoint windowAtPress_;
    bool held_ = false;  // the buttons now down went down on the handle
};

}  // namespace beamlet::widgets
