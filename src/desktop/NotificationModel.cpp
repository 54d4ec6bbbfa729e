#include "NotificationModel.h"

namespace beamlet::desktop {

bool NotificationModel::show(int left, int startTop)
{
    if (loaded_)
        return false;
    loaded_ = true;
    arrived_ = false;
    restRunning_ = false;
    left_ = left;
    top_ = startTop_ = startTop;
    opacity_ = kStartOpacity;
    up_ = Slide{-kStep, startTop - kRise, true};
    fade_ = Slide{kOpacityStep, kFullOpacity - kOpacityStep, true};
    down_ = Slide{kStep, startTop, false};
    return true;
}

NotificationModel::Events NotificationModel::tickAnimation()
{
    Events events;
    if (!loaded_)
        return events;
    if (up_.tick(top_)) {
        restRunning_ = true;
        arrived_ = true;
        events.arrived = true;
    }
    fade_.tick(opacity_);
    if (down_.tick(top_)) {
        restRunning_ = false;
        fade_.running = false;
        loaded_ = false;
        events.unloaded = true;
    }
    return events;
}

void NotificationModel::tickRest()
{
    if (loaded_ && restRunning_) {
        up_.running = false;
        down_.running = true;
    }
}

void NotificationModel::closeClicked()
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

}  // namespace beamlet::desktop
