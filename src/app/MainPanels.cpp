#include "MainPanels.h"

namespace beamlet::app {
namespace {

desktop::SlidingPanel infoPanel()
{
    return desktop::SlidingPanel(MainPanels::kParked,
                                 desktop::Slide{-MainPanels::kStep, MainPanels::kInfoOpenBelow},
                                 desktop::Slide{MainPanels::kStep, MainPanels::kInfoOutBeyond});
}

}  // namespace

MainPanels::MainPanels()
    : about_(infoPanel()),
      contact_(infoPanel()),
      pack_(kParked, desktop::Slide{-kStep, kPackOpenBelow}, desktop::Slide{kStep, kPackOutBeyond})
{
}

void MainPanels::aboutCommand()
{
    if (!aboutEnabled_)
        return;  // a disabled button raises no click
    slideIn(about_);
    aboutEnabled_ = false;
    if (infoOpen(contact_)) {
        contact_.startOut();
        contactEnabled_ = true;
    }
}

void MainPanels::contactCommand()
{
    if (!contactEnabled_)
        return;
    slideIn(contact_);
    contactEnabled_ = false;
    if (infoOpen(about_)) {
        aboutEnabled_ = true;
        about_.startOut();
    }
}

// An info panel's OK can still be reached while the pack panel slides in over it;
// the buttons stay disabled until the pack panel closes.
void MainPanels::aboutClose()
{
    about_.startOut();
    aboutEnabled_ = !packHoldsButtons();
}

void MainPanels::contactClose()
{
    contact_.startOut();
    contactEnabled_ = !packHoldsButtons();
}

bool MainPanels::packHoldsButtons() const
{
    return pack_.slidingIn() || (!pack_.moving() && pack_.position() < kPackOpenBelow);
}

void MainPanels::packOpen()
{
    if (!emotionsEnabled_)
        return;
    pack_.startIn();
    emotionsEnabled_ = false;
    about_.startOut();
    contact_.startOut();
    aboutEnabled_ = false;
    contactEnabled_ = false;
}

void MainPanels::packClose()
{
    // A second OK while the pack panel already leaves must not unlock a button
    // whose panel is opening meanwhile.
    if (packHoldsButtons()) {
        aboutEnabled_ = true;
        contactEnabled_ = true;
    }
    pack_.startOut();
}

void MainPanels::slideIn(desktop::SlidingPanel& panel)
{
    // A panel still standing where it opened (its close was just pressed) stays
    // there; one more step would leave it short of its open position.
    if (infoOpen(panel))
        panel.stop();
    else
        panel.startIn();
}

void MainPanels::tick()
{
    about_.tick();
    contact_.tick();
    if (pack_.tick().out)
        emotionsEnabled_ = true;
}

}  // namespace beamlet::app
