#pragma once
// The copy notification's cycle: rise while fading in, arrive (the sound plays),
// rest, sink and unload. Positions are in twips, as the window system measures
// top-level windows; everything here is toolkit-free.
#include "Stepping.h"

namespace beamlet::desktop {

class NotificationModel {
public:
    enum class Phase { NotLoaded, Rising, Resting, Sinking };

    static constexpr int kStep = 100;          // twips per tick, up and down
    static constexpr int kRise = 2595;         // the rise ends once Top is this far above the start
    static constexpr int kStartOpacity = 5;
    static constexpr int kFullOpacity = 235;   // the fade stops here, never fully opaque
    static constexpr int kOpacityStep = 5;
    static constexpr int kRestMs = 5000;

    struct Events {
        bool arrived = false;   // write and play the sound
        bool unloaded = false;  // destroy the window
    };

    // Starts a cycle at the given place if none is running; returns whether it did.
    // A show during a cycle changes nothing.
    bool show(int left, int startTop);

    // One tick of every running animation timer (slide up, fade in, slide down).
    Events tickAnimation();
    // The rest timer: each tick only (re)starts the descent.
    void tickRest();
    // The close control: the descent starts from wherever the window is.
    void closeClicked();

    Phase phase() const;
    bool loaded() const { return loaded_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int startTop() const { return startTop_; }
    int opacity() const { return opacity_; }
    bool rising() const { return up_.running; }
    bool fading() const { return fade_.running; }
    bool sinking() const { return down_.running; }
    bool resting() const { return restRunning_; }
    bool arrived() const { return arrived_; }
    bool animating() const { return up_.running || fade_.running || down_.running; }

private:
    bool loaded_ = false;
    bool arrived_ = false;
    bool restRunning_ = false;
    int left_ = 0;
    int top_ = 0;
    int startTop_ = 0;
    int opacity_ = kStartOpacity;
    Slide up_;
    Slide fade_;
    Slide down_;
};

}  // namespace beamlet::desktop
