#include "gui/Notifier.h"

#include "core/Layout.h"
#include "gui/NotificationWindow.h"
#include "widgets/Stepper.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace beamlet::gui {

namespace layout = core::layout;

Notifier::Notifier(platform::Services& services, QObject* parent)
    : QObject(parent),
      services_(services),
      stepper_(new widgets::Stepper(
          [this] {
              tick();
              return model_.animating();
          },
          this))
{
    rest_.setInterval(core::NotificationModel::kRestMs);
    rest_.setSingleShot(true);
    rest_.setTimerType(Qt::PreciseTimer);  // the rest is five seconds, not a little less
    connect(&rest_, &QTimer::timeout, this, &Notifier::endRest);
    screenArea_ = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry()
                      : QRect(0, 0, layout::kDesignScreenWidth, layout::kDesignScreenHeight);
    };
}

Notifier::~Notifier()
{
    delete window_;
}

NotificationWindow* Notifier::window() const
{
    return window_;
}

void Notifier::show()
{
    if (model_.loaded())
        return;  // showing it once more changes nothing of the cycle
    const QRect area = screenArea_();
    model_.show(area.x() + area.width() - layout::kNotificationRightGap,
                area.y() + area.height() - layout::kNotificationBottomGap);
    window_ = new NotificationWindow(*this);
    moveWindow();
    services_.windows.setStaysOnTop(*window_, true);
    services_.windows.setOpacity(*window_, model_.opacity());
    window_->show();
    stepper_->wake(true);
    emit loaded();
}

void Notifier::dismiss()
{
    if (!model_.loaded())
        return;
    model_ = core::NotificationModel();
    unload();
}

void Notifier::moveWindow()
{
    // The model keeps the exact top; the window stands on the nearest pixel row.
    window_->move(model_.left(), int(std::lround(model_.top())));
}

void Notifier::unload()
{
    rest_.stop();
    stepper_->wake(false);
    services_.chime.stop();
    if (window_) {
        window_->hide();
        window_->deleteLater();
    }
    window_ = nullptr;
    emit unloaded();
}

void Notifier::tick()
{
    const int opacityBefore = model_.opacity();
    const core::NotificationModel::Events events = model_.tick();
    if (events.unloaded) {
        unload();
        return;
    }
    if (window_) {
        moveWindow();
        if (model_.opacity() != opacityBefore)
            services_.windows.setOpacity(*window_, model_.opacity());
    }
    if (events.arrived) {
        rest_.start();
        services_.chime.ring();
        emit arrived();
    }
}

void Notifier::endRest()
{
    model_.restEnded();
    stepper_->wake(model_.animating());
}

void Notifier::close()
{
    model_.close();
    stepper_->wake(model_.animating());
}

}  // namespace beamlet::gui
