#pragma once
// The chime's player on Windows: each sound opens the default audio device for
// itself (waveOut), so a device unplugged, switched or restarted since the last
// sound is simply found again, and closes it when the sound has played.
#include "platform/SoundPlayer.h"

#include <atomic>
#include <memory>

namespace beamlet::platform::win {

class WaveOutPlayer final : public SoundPlayer {
public:
    WaveOutPlayer();
    // A sound still playing ends at its next slice, on its own thread: the
    // program's end never waits for the audio device.
    ~WaveOutPlayer() override;

    void play(const QByteArray& wave) override;
    void stop() override;

private:
    // Shared with the sounds' threads, which may outlive the player.
    std::shared_ptr<std::atomic<quint64>> serial_;
};

}  // namespace beamlet::platform::win
