#pragma once
// The chime as the desktop hears it: tone.wav written at every arrival, then the
// sound played from the program's own copy in memory, written or not.
#include "platform/Services.h"
#include "platform/SoundPlayer.h"
#include "platform/ToneFile.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace beamlet::platform {

class ToneChime final : public Chime {
public:
    // Gives the wave's bytes, shared rather than copied; they must outlive the chime.
    using WaveSource = std::function<QByteArray()>;
    // Gives the folders tone.wav may go to, in order (tests give their own).
    using FolderSource = std::function<QStringList()>;

    // The wave and the folders are asked for at the first ring, not at start:
    // looking the wave up among the embedded files would bring the pages around it
    // into memory, and the folders are resolved on the file system.
    ToneChime(WaveSource wave, std::unique_ptr<SoundPlayer> player, FolderSource folders = toneFolders);
    ~ToneChime() override;
    ToneChime(const ToneChime&) = delete;
    ToneChime& operator=(const ToneChime&) = delete;

    void ring() override;
    void stop() override;

private:
    void onWritten(quint64 ring);

    WaveSource source_;
    FolderSource folderSource_;
    QByteArray wave_;
    QStringList folders_;  // where tone.wav may go, in order
    std::unique_ptr<SoundPlayer> player_;
    QObject context_;     // brings the written file's news back to this thread
    QThreadPool writer_;  // one thread: half a megabyte written off the animation's tick
    quint64 rings_ = 0;   // counts rings and stops, so a late file can tell its cycle has ended
};

}  // namespace beamlet::platform
