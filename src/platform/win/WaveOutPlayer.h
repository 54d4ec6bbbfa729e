#pragma once
// The chime's player on Windows: each sound opens the default audio device for
// itself (waveOut), so a device unplugged, switched or restarted since the last
// sound is simply found again, and closes it when the sound has played.
#include "platform/SoundPlayer.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace beamlet::platform::win {

class WaveOutPlayer final : public SoundPlayer {
public:
    WaveOutPlayer();
    // A sound still playing ends at its next slice, on its own thread; the end
    // waits a moment for it to close the device (a process ending with a thread
    // inside the audio driver may crash on its way out), never longer.
    ~WaveOutPlayer() override;

    void play(const QByteArray& wave) override;
    void stop() override;

    // What the player shares with the sounds' threads, which may outlive it.
    struct Sounds {
        std::atomic<quint64> serial{0};  // of the newest sound; an older one stops
        std::mutex mutex;
        std::condition_variable allClosed;
        int open = 0;  // sounds whose thread has not closed its device yet
    };

private:
    std::shared_ptr<Sounds> sounds_;
};

}  // namespace beamlet::platform::win
