#include "widgets/Stepper.h"

#include "core/Stepping.h"

namespace beamlet::widgets {

Stepper::Stepper(std::function<bool()> tick, QObject* parent) : QObject(parent), tick_(std::move(tick))
{
    timer_.setInterval(core::kShortestPeriodMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!tick_())
            timer_.stop();
    });
}

void Stepper::wake(bool running)
{
    if (running && !timer_.isActive())
        timer_.start();
    else if (!running)
        timer_.stop();
}

}  // namespace beamlet::widgets
