#pragma once
// The chime as the desktop hears it: tone.wav written at every arrival, then the
// sound played from the program's own copy.
#include "platform/Services.h"
#include "platform/SoundPlayer.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>

#include <memory>

namespace beamlet::platform {

class ToneChime final : public Chime {
public:
    // The wave's bytes are shared, not copied, and must outlive the chime.
    ToneChime(const QByteArray& wave, std::unique_ptr<SoundPlayer> player);
    ~ToneChime() override;
    ToneChime(const ToneChime&) = delete;
    ToneChime& operator=(const ToneChime&) = delete;

    void ring() override;
    void stop() override;

private:
    void onWritten(quint64 ring, bool written);

    const QByteArray wave_;
    std::unique_ptr<SoundPlayer> player_;
    QObject context_;     // brings the written file's news back to this thread
    QThreadPool writer_;  // one thread: half a megabyte written off the animation's tick
    quint64 rings_ = 0;   // counts rings and stops, so a late file can tell its cycle has ended
};

}  // namespace beamlet::platform
