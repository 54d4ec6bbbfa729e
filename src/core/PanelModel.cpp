#include "core/PanelModel.h"

namespace beamlet::core {
namespace {

SlidingPanel infoPanel()
{
    return SlidingPanel(PanelModel::kParked, Slide<int>{-layout::kPanelStep, layout::kInfoOpenBelow},
                        Slide<int>{layout::kPanelStep, layout::kInfoOutBeyond});
}

}  // namespace

PanelModel::PanelModel()
    : about_(infoPanel()),
      contact_(infoPanel()),
      pack_(kParked, Slide<int>{-layout::kPanelStep, layout::kPackOpenBelow},
            Slide<int>{layout::kPanelStep, layout::kPackOutBeyond})
{
}

void PanelModel::openAbout()
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

void PanelModel::openContact()
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
void PanelModel::closeAbout()
{
    about_.startOut();
    aboutEnabled_ = !packHoldsButtons();
}

void PanelModel::closeContact()
{
    contact_.startOut();
    contactEnabled_ = !packHoldsButtons();
}

bool PanelModel::packHoldsButtons() const
{
    return pack_.slidingIn() || (!pack_.moving() && pack_.position() < layout::kPackOpenBelow);
}

void PanelModel::openPack()
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

void PanelModel::closePack()
{
    // A second OK while the pack panel already leaves must not unlock a button
    // whose panel is opening meanwhile.
    if (packHoldsButtons()) {
        aboutEnabled_ = true;
        contactEnabled_ = true;
    }
    pack_.startOut();
}

void PanelModel::slideIn(SlidingPanel& panel)
{
    // A panel still standing where it opened (its close was just pressed) stays
    // there; one more step would leave it short of its open position.
    if (infoOpen(panel))
        panel.stop();
    else
        panel.startIn();
}

void PanelModel::tick()
{
    about_.tick();
    contact_.tick();
    if (pack_.tick().out)
        emotionsEnabled_ = true;
}

}  // namespace beamlet::core
