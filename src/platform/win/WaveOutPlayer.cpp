#include "platform/win/WaveOutPlayer.h"

#include "platform/Wave.h"

#include <QtEndian>

#include <qt_windows.h>

#include <mmsystem.h>

#include <chrono>
#include <thread>

namespace beamlet::platform::win {
namespace {

constexpr DWORD kSliceMs = 50;                        // how soon a newer sound or stop() cuts in
constexpr std::chrono::milliseconds kCloseWait{300};  // how long the player's end waits for its sounds

using Sounds = WaveOutPlayer::Sounds;

// Half volume, as the samples themselves: the device's own volume stays the user's.
QByteArray halvedSamples(const QByteArray& wave, const WaveLayout& layout)
{
    QByteArray halved(layout.dataSize, Qt::Uninitialized);
    const char* samples = wave.constData() + layout.dataOffset;
    for (qsizetype i = 0; i + 1 < layout.dataSize; i += 2)
        qToUnaligned<qint16>(qint16(qFromLittleEndian<qint16>(samples + i) / 2), halved.data() + i);
    return halved;
}

WAVEFORMATEX pcmFormat(const WaveLayout& layout)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = WORD(layout.channels);
    format.nSamplesPerSec = DWORD(layout.sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = WORD(layout.channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// Runs on a thread of its own until the sound has played or is cancelled.
void play(const QByteArray& wave, quint64 serial, const std::atomic<quint64>& current)
{
    const WaveLayout layout = readWaveLayout(wave);
    if (!layout.playable() || serial != current)
        return;
    QByteArray halved = halvedSamples(wave, layout);
    const WAVEFORMATEX format = pcmFormat(layout);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!done)
        return;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(done), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        CloseHandle(done);
        return;  // no device now: silent, and the next sound tries again
    }
    WAVEHDR header{};
    header.lpData = halved.data();
    header.dwBufferLength = DWORD(halved.size());
    if (waveOutPrepareHeader(device, &header, sizeof header) == MMSYSERR_NOERROR) {
        if (waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR) {
            while (!(header.dwFlags & WHDR_DONE)) {
                WaitForSingleObject(done, kSliceMs);
                if (serial != current) {
                    waveOutReset(device);  // marks the header done
                    break;
                }
            }
        }
        waveOutUnprepareHeader(device, &header, sizeof header);
    }
    waveOutClose(device);
    CloseHandle(done);
}

void output(const QByteArray& wave, quint64 serial, const std::shared_ptr<Sounds>& sounds)
{
    play(wave, serial, sounds->serial);
    const std::lock_guard lock(sounds->mutex);
    if (--sounds->open == 0)
        sounds->allClosed.notify_all();
}

}  // namespace

WaveOutPlayer::WaveOutPlayer() : sounds_(std::make_shared<Sounds>()) {}

WaveOutPlayer::~WaveOutPlayer()
{
    ++sounds_->serial;
    std::unique_lock lock(sounds_->mutex);
    sounds_->allClosed.wait_for(lock, kCloseWait, [this] { return sounds_->open == 0; });
}

void WaveOutPlayer::play(const QByteArray& wave)
{
    // A newer sound or a stop() cancels this one wherever it has got to.
    const quint64 serial = ++sounds_->serial;
    {
        const std::lock_guard lock(sounds_->mutex);
        ++sounds_->open;
    }
    std::thread(output, wave, serial, sounds_).detach();
}

void WaveOutPlayer::stop()
{
    ++sounds_->serial;
}

}  // namespace beamlet::platform::win
