// The module's player: a WAV sound's samples streamed to the default audio output
// at half volume. Every sound gets an output stream of its own, opened on the
// player's own thread: opening one costs round trips to the sound server, which
// must not hold up the animation's next tick, and a stream reused for the next
// sound came back with an ever smaller buffer until it fell silent, and never
// came back after the sound server restarted. A stream is left to drain on its
// own and only closed by the next sound or by stop(), so the sound's tail is
// always heard.
#include "SoundModule.h"
#include "Wave.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

namespace {

using beamlet::desktop::WaveLayout;

// Lives on the player's thread, as do its stream and buffer.
class Output {
public:
    void play(const QByteArray& wave)
    {
        stop();
        const WaveLayout layout = beamlet::desktop::readWaveLayout(wave);
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

class StreamSoundPlayer;
std::vector<StreamSoundPlayer*> livePlayers;  // touched on the program's thread only
void shutDownLivePlayers();

class StreamSoundPlayer final : public beamlet::desktop::SoundPlayer {
public:
    StreamSoundPlayer()
    {
        thread_.setObjectName(QStringLiteral("beamlet sound"));
        context_.moveToThread(&thread_);
        thread_.start();
        // The thread must be gone before the application object is: its stream
        // belongs to the multimedia libraries that go with it.
        if (livePlayers.empty())
            qAddPostRoutine(shutDownLivePlayers);
        livePlayers.push_back(this);
    }

    ~StreamSoundPlayer() override
    {
        shutDown();
        std::erase(livePlayers, this);
        if (livePlayers.empty())
            qRemovePostRoutine(shutDownLivePlayers);
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

    void shutDown()
    {
        if (!thread_.isRunning())
            return;
        ++serial_;
        QMetaObject::invokeMethod(&context_, [this] { output_.stop(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

private:
    QThread thread_;
    QObject context_;  // runs the queued work on the thread
    Output output_;
    std::atomic<quint64> serial_ = 0;
};

void shutDownLivePlayers()
{
    for (StreamSoundPlayer* player : livePlayers)
        player->shutDown();
}

}  // namespace

extern "C" Q_DECL_EXPORT beamlet::desktop::SoundPlayer* beamlet_create_sound_player()
{
    return new StreamSoundPlayer;
}
