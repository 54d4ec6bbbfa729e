#pragma once
// A panel that slides in over its window's own controls: what the keyboard
// reaches in it. The window's PanelKeyboard (widgets/PanelKeyboard.h) asks it.
#include <QFrame>

#include <functional>

namespace beamlet::widgets {

class PushButton;

class Panel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

    // The button that closes the panel. The close buttons of a window's panels
    // share one access key, which only the panel in front holds.
    virtual PushButton* okButton() const = 0;
    // The controls Tab stops at, in order.
    virtual QList<QWidget*> keyboardStops() const = 0;
    // The control that takes the focus when the panel opens: the first stop.
    virtual QWidget* entryStop() const { return keyboardStops().constFirst(); }
    // The stops whose reach the panel sets itself (a grid that is one stop), in
    // updateReach, which runs whenever the panels have moved.
    virtual QList<QWidget*> stopsReachedByItself() const { return {}; }
    virtual void updateReach(const std::function<bool(const QWidget&)>& seenWhole) { Q_UNUSED(seenWhole); }
};

}  // namespace beamlet::widgets
