#pragma once
// Plays the chime: each system's player (platform/System.h: makeSoundPlayer()).
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
