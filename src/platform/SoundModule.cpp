// The module's player: a WAV sound's samples, halved, streamed to the sound
// server's default output on the player's own thread, so that opening a stream
// never holds up the animation's next tick.
//
// Every sound gets a connection to the server and a stream of its own. Qt's audio
// output shares one connection for the whole process: when the server goes, it
// tries again three seconds later, once, and gives up for good when the server is
// not back by then, so a sound in those three seconds and every sound after a
// longer absence stayed silent. A connection per sound reaches whatever server is
// there at that sound.
//
// A sound is written in short slices; a newer sound or stop() ends it at the next
// slice and drops what the server still holds. Otherwise the stream is drained
// before it closes, so the sound's tail is always heard.
#include "platform/SoundPlayer.h"
#include "platform/Wave.h"

#include <QThread>
#include <QtEndian>

#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

using beamlet::platform::WaveLayout;

constexpr pa_usec_t kBufferUs = 500'000;  // ahead of the speaker: a loaded machine's thread may be late
constexpr pa_usec_t kSliceUs = 50'000;    // how soon a newer sound or stop() cuts in

class StreamSoundPlayer final : public beamlet::platform::SoundPlayer {
public:
    StreamSoundPlayer()
    {
        thread_.setObjectName(QStringLiteral("beamlet sound"));
        context_.moveToThread(&thread_);
        thread_.start();
    }

    // Its owner goes before the application object does; a sound still playing
    // ends at its next slice.
    ~StreamSoundPlayer() override
    {
        ++serial_;
        thread_.quit();
        thread_.wait();
    }

    void play(const QByteArray& wave) override
    {
        // A newer sound or a stop() between now and the moment the thread gets
        // to this one cancels it, and ends one playing.
        const quint64 serial = ++serial_;
        QMetaObject::invokeMethod(
            &context_,
            [this, wave, serial] {
                if (serial == serial_)
                    output(wave, serial);
            },
            Qt::QueuedConnection);
    }

    void stop() override { ++serial_; }

private:
    // Runs on the thread until the sound has played or is cancelled.
    void output(const QByteArray& wave, quint64 serial)
    {
        const WaveLayout layout = beamlet::platform::readWaveLayout(wave);
        if (!layout.playable() || layout.channels > int(PA_CHANNELS_MAX))
            return;
        const pa_sample_spec sampleSpec{PA_SAMPLE_S16NE, uint32_t(layout.sampleRate), uint8_t(layout.channels)};
        pa_buffer_attr buffer{};
        buffer.maxlength = buffer.prebuf = buffer.minreq = buffer.fragsize = uint32_t(-1);  // the server's choice
        buffer.tlength = uint32_t(pa_usec_to_bytes(kBufferUs, &sampleSpec));
        int error = 0;
        const std::unique_ptr<pa_simple, void (*)(pa_simple*)> stream(
            pa_simple_new(nullptr, "Orvane Beamlet", PA_STREAM_PLAYBACK, nullptr, "chime", &sampleSpec, nullptr, &buffer,
                          &error),
            pa_simple_free);
        if (!stream)
            return;  // no server now: silent, and the next sound tries again

        const qsizetype frame = qsizetype(pa_frame_size(&sampleSpec));
        const qsizetype slice = std::max(frame, qsizetype(pa_usec_to_bytes(kSliceUs, &sampleSpec)) / frame * frame);
        const char* samples = wave.constData() + layout.dataOffset;
        QByteArray halved(slice, Qt::Uninitialized);
        for (qsizetype at = 0; at < layout.dataSize; at += slice) {
            if (serial != serial_) {
                pa_simple_flush(stream.get(), &error);
                return;
            }
            const qsizetype size = std::min(slice, layout.dataSize - at);
            // Half volume, as the samples themselves: the server's own volume stays the user's.
            for (qsizetype i = 0; i + 1 < size; i += 2) {
                const qint16 sample = qFromLittleEndian<qint16>(samples + at + i);
                qToUnaligned<qint16>(qint16(sample / 2), halved.data() + i);
            }
            if (pa_simple_write(stream.get(), halved.constData(), size_t(size), &error) < 0)
                return;  // the server went away mid-sound
        }
        pa_simple_drain(stream.get(), &error);
    }

    QThread thread_;
    QObject context_;  // runs the queued work on the thread
    std::atomic<quint64> serial_ = 0;
};

}  // namespace

extern "C" Q_DECL_EXPORT beamlet::platform::SoundPlayer* beamlet_create_sound_player()
{
    return new StreamSoundPlayer;
}
