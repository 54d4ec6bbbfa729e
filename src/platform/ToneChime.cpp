#include "platform/ToneChime.h"

namespace beamlet::platform {

ToneChime::ToneChime(WaveSource wave, std::unique_ptr<SoundPlayer> player, FolderSource folders)
    : source_(std::move(wave)),
      folderSource_(std::move(folders)),
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
    // never waits for the disk; the chime follows it. Without a player the cycle
    // simply goes on silently.
    // Where the file goes is worked out once: the folders are resolved on the
    // file system, and neither they nor the program's place change while it runs.
    if (wave_.isNull()) {
        wave_ = source_();
        folders_ = folderSource_();
    }
    const quint64 ring = ++rings_;
    writer_.start([this, ring] {
        writeTone(wave_, folders_);
        QMetaObject::invokeMethod(
            &context_, [this, ring] { onWritten(ring); }, Qt::QueuedConnection);
    });
}

void ToneChime::onWritten(quint64 ring)
{
    // The sound plays from memory, so a file that could not be written (no
    // writable folder) silences nothing; a cycle ended meanwhile stays silent.
    if (ring == rings_)
        player_->play(wave_);
}

void ToneChime::stop()
{
    ++rings_;
    player_->stop();
}

}  // namespace beamlet::platform
