#pragma once
// The main window's three sliding panels (About, Contact, the emoticon pack) and
// the enabled flags of the buttons that drive them; toolkit-free.
#include "Stepping.h"

namespace beamlet::app {

class MainPanels {
public:
    static constexpr int kParked = 888;         // start position of every panel, px
    static constexpr int kStep = 40;
    static constexpr int kInfoOpenBelow = 250;  // an info panel is open while Left < 250
    static constexpr int kInfoOutBeyond = 888;
    static constexpr int kPackOpenBelow = 89;
    static constexpr int kPackOutBeyond = 1000;

    MainPanels();

    // The About and Contact commands (their buttons forward to them).
    void aboutCommand();
    void contactCommand();
    // The OK buttons of the two info panels and of the pack panel.
    void aboutClose();
    void contactClose();
    void packClose();
    // The Emotions button.
    void packOpen();

    // One tick of every running slide timer.
    void tick();
    bool animating() const { return about_.moving() || contact_.moving() || pack_.moving(); }

    const desktop::SlidingPanel& about() const { return about_; }
    const desktop::SlidingPanel& contact() const { return contact_; }
    const desktop::SlidingPanel& pack() const { return pack_; }
    bool aboutEnabled() const { return aboutEnabled_; }      // swfabout and piccmdabout
    bool contactEnabled() const { return contactEnabled_; }  // Swfcontact and piccmdcontact
    bool emotionsEnabled() const { return emotionsEnabled_; }

    static bool infoOpen(const desktop::SlidingPanel& p) { return p.position() < kInfoOpenBelow; }
    // While the pack panel opens or is open, About and Contact Me stay disabled.
    bool packHoldsButtons() const;

private:
    void slideIn(desktop::SlidingPanel& panel);

    desktop::SlidingPanel about_;
    desktop::SlidingPanel contact_;
    desktop::SlidingPanel pack_;
    bool aboutEnabled_ = true;
    bool contactEnabled_ = true;
    bool emotionsEnabled_ = true;
};

}  // namespace beamlet::app
