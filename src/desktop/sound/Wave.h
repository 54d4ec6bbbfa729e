#pragma once
// Where the samples of a RIFF WAVE sound are, and their format: read from the
// header alone, without trusting a size it gives.
#include <QByteArray>

namespace beamlet::desktop {

struct WaveLayout {
    int sampleRate = 0;
    int channels = 0;
    qsizetype dataOffset = 0;
    qsizetype dataSize = 0;  // whole frames only, and no more than the bytes hold

    // 16-bit PCM with at least one whole frame of samples.
    bool playable() const { return sampleRate > 0 && channels > 0 && dataSize > 0; }
};

// A layout that is not playable() when the bytes are not a 16-bit PCM WAVE sound.
WaveLayout readWaveLayout(const QByteArray& bytes);

}  // namespace beamlet::desktop
