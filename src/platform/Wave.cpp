#include "platform/Wave.h"

#include <QtEndian>

namespace beamlet::platform {

WaveLayout readWaveLayout(const QByteArray& bytes)
{
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    WaveLayout wave;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    int blockAlign = 0;
    bool pcm16 = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype body = at + 8;
        const qsizetype left = bytes.size() - body;
        // A size past the end is cut to the end: a sound written while still
        // streaming may say 0xFFFFFFFF.
        const qsizetype size = qMin(qsizetype(u32(at + 4)), left);
        if (id == "fmt " && size >= 16) {
            const quint16 encoding = u16(body);
            const quint16 channels = u16(body + 2);
            const quint32 rate = u32(body + 4);
            const quint16 bits = u16(body + 14);
            pcm16 = encoding == 1 && bits == 16 && channels > 0 && channels <= 8 && rate > 0 && rate <= 384000;
            if (pcm16) {
                wave.sampleRate = int(rate);
                wave.channels = channels;
                blockAlign = 2 * channels;
            }
        } else if (id == "data") {
            if (!pcm16)
                break;  // samples before their format: not a sound we can trust
            wave.dataOffset = body;
            wave.dataSize = size / blockAlign * blockAlign;
            return wave;
        }
        at = body + size + (size & 1);
    }
    return {};
}

}  // namespace beamlet::platform
