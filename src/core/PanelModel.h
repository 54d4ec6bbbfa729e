#pragma once
// The main window's three sliding panels (About, Contact, the emoticon pack) and
// the enabled flags of the buttons that drive them.
#include "core/Layout.h"
#include "core/Stepping.h"

namespace beamlet::core {

class PanelModel {
public:
    // Every panel starts parked right of the client area, the three at one place.
    static constexpr int kParked = layout::kInfoPanel.x;
    static_assert(layout::kPackPanel.x == kParked);

    PanelModel();

    // The About and Contact buttons.
    void openAbout();
    void openContact();
    // The OK buttons of the two info panels and of the pack panel.
    void closeAbout();
    void closeContact();
    void closePack();
    // The Emotions button.
    void openPack();

    // One tick of every running slide.
    void tick();
    bool animating() const { return about_.moving() || contact_.moving() || pack_.moving(); }

    const SlidingPanel& about() const { return about_; }
    const SlidingPanel& contact() const { return contact_; }
    const SlidingPanel& pack() const { return pack_; }
    bool aboutEnabled() const { return aboutEnabled_; }
    bool contactEnabled() const { return contactEnabled_; }
    bool emotionsEnabled() const { return emotionsEnabled_; }

    static bool infoOpen(const SlidingPanel& panel) { return panel.position() < layout::kInfoOpenBelow; }
    // While the pack panel opens or stands open, About and Contact Me stay disabled.
    bool packHoldsButtons() const;

private:
    void slideIn(SlidingPanel& panel);

    SlidingPanel about_;
    SlidingPanel contact_;
    SlidingPanel pack_;
    bool aboutEnabled_ = true;
    bool contactEnabled_ = true;
    bool emotionsEnabled_ = true;
};

}  // namespace beamlet::core
