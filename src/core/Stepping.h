#pragma once
// The one stepping mechanism behind every animation: a slide adds a fixed step to
// a value on each tick and stops itself once the value has passed its bound.
namespace beamlet::core {

// Animations ask to tick as fast as the window system allows; about 15 ms is
// the shortest period desktop timers keep, and gives the intended speed everywhere.
inline constexpr int kShortestPeriodMs = 15;

template <typename Value>
struct Slide {
    Value step{};   // signed; its sign says which way the bound lies
    Value bound{};  // the slide ends once the value is strictly beyond it
    bool running = false;

    // One tick: applies the step and reports whether this step ended the slide.
    bool tick(Value& value)
    {
        if (!running)
            return false;
        value += step;
        if (step < 0 ? value < bound : value > bound) {
            running = false;
            return true;
        }
        return false;
    }
};

// A panel moved by a slide-in and a slide-out. Starting one slide stops the
// other, so a panel never jitters with both running.
class SlidingPanel {
public:
    SlidingPanel(int start, Slide<int> in, Slide<int> out) : position_(start), in_(in), out_(out)
    {
        in_.running = out_.running = false;
    }

    int position() const { return position_; }
    bool slidingIn() const { return in_.running; }
    bool slidingOut() const { return out_.running; }
    bool moving() const { return in_.running || out_.running; }

    void startIn()
    {
        out_.running = false;
        in_.running = true;
    }
    void startOut()
    {
        in_.running = false;
        out_.running = true;
    }
    void stop() { in_.running = out_.running = false; }

    struct Ended {
        bool in = false;
        bool out = false;
    };
    Ended tick()
    {
        Ended ended;
        ended.in = in_.tick(position_);
        ended.out = out_.tick(position_);
        return ended;
    }

private:
    int position_;
    Slide<int> in_;
    Slide<int> out_;
};

}  // namespace beamlet::core
