// The module's player: a WAV sound's samples, halved, streamed to the sound
// server's default output by libpulse's own thread, so that opening a stream
// never holds up the animation's next tick.
//
// Every sound gets a connection to the server and a stream of its own. Qt's audio
// output shares one connection for the whole process: when the server goes, it
// tries again three seconds later, once, and gives up for good when the server is
// not back by then, so a sound in those three seconds and every sound after a
// longer absence stayed silent. A connection per sound reaches whatever server is
// there at that sound.
//
// Nothing here ever waits for the server: the connection is driven by callbacks,
// and a newer sound, stop() or the player's end closes the connection's socket at
// once, which drops the sound at the server. A server that stops answering (frozen,
// or gone mid-sound) therefore never holds up the program, nor its end. Left alone,
// a sound's whole samples are handed over at once and the stream is drained before
// its connection closes, so a late thread never starves it and its tail is heard.
#include "platform/Wave.h"
#include "platform/x11/ModuleSoundPlayer.h"

#include <QtEndian>

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <algorithm>

namespace beamlet::platform::x11 {
namespace {

class StreamSoundPlayer final : public SoundPlayer {
public:
    StreamSoundPlayer() : mainloop_(pa_threaded_mainloop_new())
    {
        if (!mainloop_)
            return;
        pa_threaded_mainloop_set_name(mainloop_, "beamlet sound");
        if (pa_threaded_mainloop_start(mainloop_) < 0) {
            pa_threaded_mainloop_free(mainloop_);
            mainloop_ = nullptr;
        }
    }

    // A sound still playing is dropped, however the server is doing: closing a
    // socket waits for nobody, and the thread leaves its poll at once.
    ~StreamSoundPlayer() override
    {
        if (!mainloop_)
            return;
        pa_threaded_mainloop_lock(mainloop_);
        end();
        pa_threaded_mainloop_unlock(mainloop_);
        pa_threaded_mainloop_stop(mainloop_);
        pa_threaded_mainloop_free(mainloop_);
    }

    void play(const QByteArray& wave) override
    {
        if (!mainloop_)
            return;
        pa_threaded_mainloop_lock(mainloop_);
        end();
        begin(wave);
        pa_threaded_mainloop_unlock(mainloop_);
    }

    void stop() override
    {
        if (!mainloop_)
            return;
        pa_threaded_mainloop_lock(mainloop_);
        end();
        pa_threaded_mainloop_unlock(mainloop_);
    }

private:
    // Everything below runs with the mainloop's lock held: on the caller's thread
    // in play() and stop(), on the mainloop's thread in the callbacks.

    void begin(const QByteArray& wave)
    {
        const WaveLayout layout = readWaveLayout(wave);
        if (!layout.playable() || layout.channels > int(PA_CHANNELS_MAX))
            return;
        wave_ = wave;
        layout_ = layout;
        written_ = 0;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Orvane Beamlet");
        if (!context_)
            return;
        pa_context_set_state_callback(context_, &StreamSoundPlayer::onContextState, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            end();  // no server now: silent, and the next sound tries again
    }

    // Closes the sound's connection, whatever state it is in; the server drops its stream.
    void end()
    {
        if (stream_) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
        wave_ = QByteArray();
    }

    void openStream()
    {
        const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, uint32_t(layout_.sampleRate), uint8_t(layout_.channels)};
        stream_ = pa_stream_new(context_, "chime", &sampleFormat, nullptr);
        if (!stream_) {
            end();
            return;
        }
        // The server asks for the whole sound at once (up to what it holds for a
        // stream): once it has it, no lateness of this side can cut the sound.
        pa_buffer_attr buffer{};
        buffer.maxlength = buffer.prebuf = buffer.minreq = buffer.fragsize = uint32_t(-1);  // the server's choice
        buffer.tlength = uint32_t(std::min<qsizetype>(layout_.dataSize, UINT32_MAX / 2));
        pa_stream_set_state_callback(stream_, &StreamSoundPlayer::onStreamState, this);
        pa_stream_set_write_callback(stream_, &StreamSoundPlayer::onWritable, this);
        if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0)
            end();
    }

    // Hands over what the server asks for, at half volume: the server's own volume
    // stays the user's. Once all is written, the stream drains and the sound ends.
    void write(size_t requested)
    {
        const qsizetype frame = qsizetype(layout_.channels) * 2;
        const char* samples = wave_.constData() + layout_.dataOffset;
        while (requested > 0 && written_ < layout_.dataSize) {
            const qsizetype size =
                std::min(qsizetype(std::min<size_t>(requested, 1 << 16)) / frame * frame, layout_.dataSize - written_);
            if (size <= 0)
                break;
            halved_.resize(size);
            for (qsizetype i = 0; i + 1 < size; i += 2) {
                const qint16 sample = qFromLittleEndian<qint16>(samples + written_ + i);
                qToUnaligned<qint16>(qint16(sample / 2), halved_.data() + i);
            }
            if (pa_stream_write(stream_, halved_.constData(), size_t(size), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                end();
                return;
            }
            written_ += size;
            requested -= size_t(size);
        }
        if (written_ >= layout_.dataSize) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            if (pa_operation* drain = pa_stream_drain(stream_, &StreamSoundPlayer::onDrained, this))
                pa_operation_unref(drain);
            else
                end();
        }
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* player = static_cast<StreamSoundPlayer*>(self);
        if (context != player->context_)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            player->openStream();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            player->end();  // the server went away, or never answered
            break;
        default:
            break;
        }
    }

    static void onStreamState(pa_stream* stream, void* self)
    {
        auto* player = static_cast<StreamSoundPlayer*>(self);
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (stream == player->stream_ && (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED))
            player->end();
    }

    static void onWritable(pa_stream* stream, size_t requested, void* self)
    {
        auto* player = static_cast<StreamSoundPlayer*>(self);
        if (stream == player->stream_)
            player->write(requested);
    }

    static void onDrained(pa_stream* stream, int, void* self)
    {
        auto* player = static_cast<StreamSoundPlayer*>(self);
        if (stream == player->stream_)
            player->end();
    }

    pa_threaded_mainloop* mainloop_;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    QByteArray wave_;
    WaveLayout layout_;
    qsizetype written_ = 0;
    QByteArray halved_;
};

}  // namespace
}  // namespace beamlet::platform::x11

extern "C" Q_DECL_EXPORT beamlet::platform::SoundPlayer* beamlet_create_sound_player()
{
    return new beamlet::platform::x11::StreamSoundPlayer;
}
