#pragma once
// The desktop's services, made once in main() after the application object and
// gone before it, so the audio stream is closed while the application still
// exists. The chime's wave comes from the program's embedded resources; it plays
// through the system's player (platform/System.h) unless another player is given.
// The windows' stacking is the system's.
#include "platform/QtServices.h"
#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "platform/ToneChime.h"

#include <memory>

namespace beamlet::platform {

class DesktopServices {
public:
    explicit DesktopServices(ToneChime::WaveSource chimeWave);
    DesktopServices(ToneChime::WaveSource chimeWave, std::unique_ptr<SoundPlayer> player);
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

private:
    QtClipboard clipboard_;
    ToneChime chime_;
    DesktopLinkOpener links_;
    std::unique_ptr<WindowStacking> windows_;

public:
    Services services;
};

}  // namespace beamlet::platform
