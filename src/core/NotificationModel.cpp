#include "core/NotificationModel.h"

#include "core/Layout.h"

namespace beamlet::core {

bool NotificationModel::show(int left, int startTop)
{
    if (loaded_)
        return false;
    loaded_ = true;
    arrived_ = false;
    resting_ = false;
    left_ = left;
    startTop_ = startTop;
    stepsUp_ = 0;
    opacity_ = kStartOpacity;
    // The rise ends on the first step that takes it more than the rise above its
    // start, the descent on the first that takes it below its start.
    up_ = {1, int(layout::kNotificationRise / layout::kNotificationStep), true};
    fade_ = {kOpacityStep, kFullOpacity - kOpacityStep, true};
    down_ = {-1, 0, false};
    return true;
}

double NotificationModel::top() const
{
    return startTop_ - stepsUp_ * layout::kNotificationStep;
}

NotificationModel::Events NotificationModel::tick()
{
    Events events;
    if (!loaded_)
        return events;
    if (up_.tick(stepsUp_)) {
        resting_ = true;
        arrived_ = true;
        events.arrived = true;
    }
    fade_.tick(opacity_);
    if (down_.tick(stepsUp_)) {
        resting_ = false;
        fade_.running = false;
        loaded_ = false;
        events.unloaded = true;
    }
    return events;
}

void NotificationModel::restEnded()
{
    if (loaded_ && resting_) {
        up_.running = false;
        down_.running = true;
    }
}

void NotificationModel::close()
{
    if (!loaded_)
        return;
    // Closing during the rise turns the window round where it is; it never arrives.
    up_.running = false;
    down_.running = true;
}

NotificationModel::Phase NotificationModel::phase() const
{
    if (!loaded_)
        return Phase::NotLoaded;
    if (down_.running)
        return Phase::Sinking;
    if (up_.running)
        return Phase::Rising;
    return Phase::Resting;
}

}  // namespace beamlet::core
