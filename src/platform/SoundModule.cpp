// The module's player: a WAV sound's samples streamed to the default audio output
// at half volume. Every sound gets an output stream of its own, opened on the
// player's own thread: opening one costs round trips to the sound server, which
// must not hold up the animation's next tick, and a stream reused for the next
// sound came back with an ever smaller buffer until it fell silent, and never
// came back after the sound server restarted. A stream is left to drain on its
// own and only closed by the next sound or by stop(), so the sound's tail is
// always heard.
#include "SoundPlayer.h"
#include "Wave.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

using beamlet::platform::WaveLayout;

// Lives on the player's thread, as do its stream and buffer.
class Output {
public:
    void play(const QByteArray& wave)
    {
        stop();
        const WaveLayout layout = beamlet::platform::readWaveLayout(wave);
        if (!layout.playable())
            return;
        QAudioFormat format;
        format.setSampleRate(layout.sampleRate);
        format.setChannelCount(layout.channels);
        format.setSampleFormat(QAudioFormat::Int16);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || !device.isFormatSupported(format))
            return;
        wave_ = wave;  // keeps shared bytes alive while they play
        buffer_ = std::make_unique<QBuffer>();
        buffer_->setData(QByteArray::fromRawData(wave_.constData() + layout.dataOffset, layout.dataSize));
        buffer_->open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->setVolume(0.5);
        sink_->start(buffer_.get());
    }

    void stop()
    {
        if (sink_)
            sink_->stop();
        sink_.reset();
        buffer_.reset();
        wave_ = QByteArray();
    }

private:
    QByteArray wave_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

class StreamSoundPlayer final : public beamlet::platform::SoundPlayer {
public:
    StreamSoundPlayer()
    {
        thread_.setObjectName(QStringLiteral("beamlet sound"));
        context_.moveToThread(&thread_);
        thread_.start();
    }

    // Its owner goes before the application object does, and with it the stream
    // and the thread, while the multimedia libraries still stand.
    ~StreamSoundPlayer() override
    {
        ++serial_;
        QMetaObject::invokeMethod(&context_, [this] { output_.stop(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    void play(const QByteArray& wave) override
    {
        // A stop() between now and the moment the thread gets to this sound cancels it.
        const quint64 serial = ++serial_;
        QMetaObject::invokeMethod(&context_, [this, wave, serial] {
            if (serial == serial_)
                output_.play(wave);
        }, Qt::QueuedConnection);
    }

    void stop() override
    {
        ++serial_;
        QMetaObject::invokeMethod(&context_, [this] { output_.stop(); }, Qt::QueuedConnection);
    }

private:
    QThread thread_;
    QObject context_;  // runs the queued work on the thread
    Output output_;
    std::atomic<quint64> serial_ = 0;
};

}  // namespace

extern "C" Q_DECL_EXPORT beamlet::platform::SoundPlayer* beamlet_create_sound_player()
{
    return new StreamSoundPlayer;
}
