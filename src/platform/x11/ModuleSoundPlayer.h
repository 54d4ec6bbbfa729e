#pragma once
// The chime's player on Linux lives in a module of its own (SoundModule.cpp,
// beamlet_sound.so), loaded at the first sound, so the sound server's libraries
// cost nothing at start or in a silent session.
#include "platform/SoundPlayer.h"

#include <memory>

namespace beamlet::platform::x11 {

// Plays through the sound module; without the module or an audio device the
// program stays silent.
class ModuleSoundPlayer final : public SoundPlayer {
public:
    ModuleSoundPlayer();
    ~ModuleSoundPlayer() override;
    void play(const QByteArray& wave) override;
    void stop() override;

private:
    std::unique_ptr<SoundPlayer> player_;
    bool tried_ = false;
};

}  // namespace beamlet::platform::x11

// The module's one export: a new player for the default audio output.
extern "C" {
using BeamletCreateSoundPlayer = beamlet::platform::SoundPlayer* (*)();
}
#define BEAMLET_SOUND_FACTORY "beamlet_create_sound_player"
