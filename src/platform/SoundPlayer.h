#pragma once
// Plays the chime. The player lives in a module of its own, loaded at the first
// sound, so the sound server's libraries cost nothing at start or in a silent session.
#include <QByteArray>

namespace beamlet::platform {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts a RIFF WAVE sound at once, once, at half volume, cutting off any sound
    // still playing; never waits, never reports. The bytes are shared, not copied:
    // raw data (QByteArray::fromRawData) must stay valid until the next play or stop.
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
