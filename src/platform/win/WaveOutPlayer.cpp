#include "platform/win/WaveOutPlayer.h"

#include "platform/Wave.h"

#include <QtEndian>

#include <qt_windows.h>

#include <mmsystem.h>

#include <thread>

namespace beamlet::platform::win {
namespace {

constexpr DWORD kSliceMs = 50;  // how soon a newer sound or stop() cuts in

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
void output(const QByteArray& wave, quint64 serial, const std::shared_ptr<std::atomic<quint64>>& current)
{
    const WaveLayout layout = readWaveLayout(wave);
    if (!layout.playable() || serial != *current)
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
                if (serial != *current) {
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

}  // namespace

WaveOutPlayer::WaveOutPlayer() : serial_(std::make_shared<std::atomic<quint64>>(0)) {}

WaveOutPlayer::~WaveOutPlayer()
{
    ++*serial_;
}

void WaveOutPlayer::play(const QByteArray& wave)
{
    // A newer sound or a stop() cancels this one wherever it has got to.
    const quint64 serial = ++*serial_;
    std::thread(output, wave, serial, serial_).detach();
}

void WaveOutPlayer::stop()
{
    ++*serial_;
}

}  // namespace beamlet::platform::win
