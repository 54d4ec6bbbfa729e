#pragma once
// The copy notification's cycle: rise while fading in, arrive (the chime plays),
// rest, sink and unload. Positions are screen pixels. A step is a fraction of a
// pixel, so the model counts the steps the window stands above its start and
// the top follows from them exactly; it is rounded only where the window is placed.
#include "core/Stepping.h"

namespace beamlet::core {

class NotificationModel {
public:
    enum class Phase {
        NotLoaded,
        Rising,
        Resting,
        Sinking
    };

    static constexpr int kStartOpacity = 5;
    static constexpr int kFullOpacity = 235;  // the fade stops here, never fully opaque
    static constexpr int kOpacityStep = 5;
    static constexpr int kRestMs = 5000;

    struct Events {
        bool arrived = false;   // write and play the chime
        bool unloaded = false;  // destroy the window
    };

    // Starts a cycle at the given place if none is running; returns whether it
    // did. A show during a cycle changes nothing.
    bool show(int left, int startTop);

    // One tick of every running animation (slide up, fade in, slide down).
    Events tick();
    // The end of the rest: each call only (re)starts the descent.
    void restEnded();
    // The close control: the descent starts from wherever the window is.
    void close();

    Phase phase() const;
    bool loaded() const { return loaded_; }
    int left() const { return left_; }
    double top() const;
    int startTop() const { return startTop_; }
    int opacity() const { return opacity_; }
    bool arrived() const { return arrived_; }
    bool resting() const { return resting_; }
    bool rising() const { return up_.running; }
    bool fading() const { return fade_.running; }
    bool sinking() const { return down_.running; }
    bool animating() const { return up_.running || fade_.running || down_.running; }

private:
    bool loaded_ = false;
    bool arrived_ = false;
    bool resting_ = false;
    int left_ = 0;
    int startTop_ = 0;
    int stepsUp_ = 0;
    int opacity_ = kStartOpacity;
    Slide<int> up_;
    Slide<int> fade_;
    Slide<int> down_;
};

}  // namespace beamlet::core
