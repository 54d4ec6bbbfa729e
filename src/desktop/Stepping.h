#pragma once
// The one stepping mechanism behind every animation: a slide adds a fixed step to
// a value on each tick and stops itself once the value has passed its bound.
namespace beamlet::desktop {

// Design periods of 1 ms and 5 ms ask for the window system's shortest timer
// period; about 15 ms gives the intended speed on every desktop.
inline constexpr int kShortestPeriodMs = 15;

struct Slide {
    int step = 0;   // signed; its sign says which way the bound lies
    int bound = 0;  // the slide ends once the value is strictly beyond it
    bool running = false;

    // One tick: applies the step and reports whether this step ended the slide.
    bool tick(int& value)
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
    SlidingPanel(int start, Slide in, Slide out) : value_(start), in_(in), out_(out)
    {
        in_.running = out_.running = false;
    }

    int position() const { return value_; }
    bool slidingIn() const { return in_.running; }
    bool slidingOut() const { return out_.running; }
    bool moving() const { return in_.running || out_.running; }

    void startIn() { out_.running = false; in_.running = true; }
    void startOut() { in_.running = false; out_.running = true; }
    void stop() { in_.running = out_.running = false; }

    struct Ended {
        bool in = false;
        bool out = false;
    };
    Ended tick()
    {
        Ended ended;
        ended.in = in_.tick(value_);
        ended.out = out_.tick(value_);
        return ended;
    }

private:
    int value_;
    Slide in_;
    Slide out_;
};

}  // namespace beamlet::desktop
