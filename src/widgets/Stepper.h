#pragma once
// Drives a stepping model: ticks it at the shortest timer period while it has a
// running slide, and stops itself when nothing moves any more.
#include <QObject>
#include <QTimer>

#include <functional>

namespace beamlet::widgets {

class Stepper : public QObject {
    Q_OBJECT
public:
    // tick() performs one step of every running slide and returns whether any
    // slide still runs afterwards.
    explicit Stepper(std::function<bool()> tick, QObject* parent = nullptr);

    // Call after any event that may have started a slide.
    void wake(bool running);
    bool isActive() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }

private:
    QTimer timer_;
    std::function<bool()> tick_;
};

}  // namespace beamlet::widgets
