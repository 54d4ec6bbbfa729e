#pragma once
// Plays the chime. The player lives in a module of its own, loaded at the first
// sound, so the multimedia libraries cost nothing at start or in a silent session.
#include <QByteArray>

namespace beamlet::platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays a whole RIFF WAVE file once, at half volume; never waits, never reports.
    virtual void play(const QByteArray& wave) = 0;
    // Silences whatever plays.
    virtual void stop() = 0;
};

}  // namespace beamlet::platform

// The module's one export: a new player for the default audio output.
extern "C" {
using BeamletCreateSoundPlayer = beamlet::platform::SoundPlayer* (*)();
}
#define BEAMLET_SOUND_FACTORY "beamlet_create_sound_player"
