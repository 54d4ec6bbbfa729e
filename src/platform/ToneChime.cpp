#include "platform/ToneChime.h"

#include "platform/ToneFile.h"

namespace beamlet::platform {

ToneChime::ToneChime(WaveSource wave, std::unique_ptr<SoundPlayer> player)
    : source_(std::move(wave)),
      player_(std::move(player))
{
    writer_.setMaxThreadCount(1);
}

ToneChime::~ToneChime()
{
    writer_.waitForDone();
}

void ToneChime::ring()
{
    // The file is written on a thread of its own so the animation's next tick
    // never waits for the disk. Without a writable folder or a player the cycle
    // simply goes on silently.
    if (wave_.isNull())
        wave_ = source_();
    const quint64 ring = ++rings_;
    writer_.start([this, folders = toneFolders(), ring] {
        const bool written = !writeTone(wave_, folders).isEmpty();
        QMetaObject::invokeMethod(
            &context_, [this, ring, written] { onWritten(ring, written); }, Qt::QueuedConnection);
    });
}

void ToneChime::onWritten(quint64 ring, bool written)
{
    // A cycle ended before its file was written stays silent.
    if (written && ring == rings_)
        player_->play(wave_);
}

void ToneChime::stop()
{
    ++rings_;
    player_->stop();
}

}  // namespace beamlet::platform
