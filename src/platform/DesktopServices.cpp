#include "platform/DesktopServices.h"

#include "platform/System.h"

namespace beamlet::platform {

DesktopServices::DesktopServices(ToneChime::WaveSource chimeWave)
    : DesktopServices(std::move(chimeWave), native::makeSoundPlayer())
{
}

DesktopServices::DesktopServices(ToneChime::WaveSource chimeWave, std::unique_ptr<SoundPlayer> player)
    : chime_(std::move(chimeWave), std::move(player)),
      windows_(std::make_unique<native::WindowStacking>()),
      services{clipboard_, chime_, links_, *windows_}
{
}

DesktopServices::~DesktopServices() = default;

}  // namespace beamlet::platform
