// The module's player: the WAV's samples streamed to the default audio
// output at half volume. The stream is left to drain on its own and only stopped
// by the next sound or by stop(), so the chime's tail is always heard.
#include "SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtEndian>

#include <memory>

namespace {

// PCM samples and their format from a RIFF WAVE file; null format if it is not one.
struct Wave {
    QAudioFormat format;
    QByteArray samples;
};

Wave readWave(const QByteArray& bytes)
{
    Wave wave;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(bytes.size() - body))
            break;
        if (id == "fmt " && size >= 16) {
            const char* f = bytes.constData() + body;
            const quint16 encoding = qFromLittleEndian<quint16>(f);
            const quint16 channels = qFromLittleEndian<quint16>(f + 2);
            const quint32 rate = qFromLittleEndian<quint32>(f + 4);
            const quint16 bits = qFromLittleEndian<quint16>(f + 14);
            if (encoding == 1 && bits == 16 && channels > 0) {
                wave.format.setSampleRate(int(rate));
                wave.format.setChannelCount(channels);
                wave.format.setSampleFormat(QAudioFormat::Int16);
            }
        } else if (id == "data") {
            wave.samples = bytes.mid(body, size);
        }
        at = body + size + (size & 1);
    }
    return wave;
}

class StreamSoundPlayer final : public beamlet::platform::SoundPlayer {
public:
    void play(const QByteArray& bytes) override
    {
        stop();
        Wave wave = readWave(bytes);
        if (!wave.format.isValid() || wave.samples.isEmpty())
            return;
        // One output stream serves every arrival: opening it costs round trips to
        // the sound server, which would hold up the animation's next tick.
        if (!sink_ || sink_->format() != wave.format) {
            sink_.reset();
            const QAudioDevice device = QMediaDevices::defaultAudioOutput();
            if (device.isNull() || !device.isFormatSupported(wave.format))
                return;
            sink_ = std::make_unique<QAudioSink>(device, wave.format);
            sink_->setVolume(0.5);
        }
        samples_ = std::move(wave.samples);
        buffer_ = std::make_unique<QBuffer>(&samples_);
        buffer_->open(QIODevice::ReadOnly);
        sink_->start(buffer_.get());
    }

    void stop() override
    {
        if (sink_)
            sink_->stop();
        buffer_.reset();
    }

    ~StreamSoundPlayer() override
    {
        stop();
        sink_.reset();
    }

private:
    QByteArray samples_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

extern "C" Q_DECL_EXPORT beamlet::platform::SoundPlayer* beamlet_create_sound_player()
{
    return new StreamSoundPlayer;
}
