#pragma once
// The copy notification: one cycle per copy, started by show() and left alone
// while a cycle runs. Owns the model, the window while it is loaded, and its timers.
#include "core/NotificationModel.h"
#include "platform/Services.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>

namespace beamlet::widgets {
class Stepper;
}

namespace beamlet::gui {

class NotificationWindow;

class Notifier : public QObject {
    Q_OBJECT
public:
    explicit Notifier(platform::Services& services, QObject* parent = nullptr);
    ~Notifier() override;

    // Loads the window and starts a cycle, unless one is running.
    void show();
    // Ends a running cycle at once, window and chime included.
    void dismiss();

    const core::NotificationModel& model() const { return model_; }
    NotificationWindow* window() const;
    // Which part of the screen to rise from; the primary screen's available area by default.
    void setScreenArea(std::function<QRect()> area) { screenArea_ = std::move(area); }

    // One animation tick and the end of the rest, reachable by tests without waiting.
    void tick();
    void endRest();
    void close();

signals:
    void loaded();
    void arrived();
    void unloaded();

private:
    void moveWindow();
    void unload();

    platform::Services& services_;
    core::NotificationModel model_;
    QPointer<NotificationWindow> window_;
    widgets::Stepper* stepper_;
    QTimer rest_;
    std::function<QRect()> screenArea_;
};

}  // namespace beamlet::gui
