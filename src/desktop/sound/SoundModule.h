#pragma once
// The sound player's interface, shared by the program and the sound module. The
// module is loaded at the first sound: the multimedia libraries then cost nothing
// at start or in a silent session.
#include <QByteArray>

namespace beamlet::desktop {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts a RIFF WAVE sound at once, once, at half volume, cutting off any sound
    // still playing; never waits, never reports. The bytes are shared, not copied:
    // raw data (QByteArray::fromRawData) must stay valid until the next play or stop.
    virtual void play(const QByteArray& wave) = 0;
    // Silences the sound at once.
    virtual void stop() = 0;
};

}  // namespace beamlet::desktop

extern "C" {
// Exported by the module: a new player streaming to the default audio output.
using BeamletCreateSoundPlayer = beamlet::desktop::SoundPlayer* (*)();
}

#define BEAMLET_SOUND_FACTORY "beamlet_create_sound_player"
