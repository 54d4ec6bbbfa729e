#pragma once
// Ready pixels: a picture as the window system draws it, made by the build
// (tools/bake) and drawn by the program in place. A 32-byte header ("BMLTPIX1",
// then width, height, QImage format and bytes per line as 32-bit little-endian
// numbers, then padding) and the rows of pixels.
#include <QtEndian>

#include <array>
#include <cstring>

namespace beamlet::widgets::readypixels {

inline constexpr char kMagic[8] = {'B', 'M', 'L', 'T', 'P', 'I', 'X', '1'};
inline constexpr int kHeaderSize = 32;

struct Header {
    quint32 width = 0;
    quint32 height = 0;
    quint32 format = 0;  // a QImage::Format
    quint32 bytesPerLine = 0;
};

inline std::array<char, kHeaderSize> encode(const Header& header)
{
    std::array<char, kHeaderSize> bytes{};
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    const quint32 fields[] = {header.width, header.height, header.format, header.bytesPerLine};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(fields[i], bytes.data() + sizeof kMagic + 4 * i);
    return bytes;
}

// False unless the data starts with a header whose rows fit in the rest.
inline bool decode(const uchar* data, qint64 size, Header& header)
{
    if (size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return false;
    const auto field = [data](int i) { return qFromLittleEndian<quint32>(data + sizeof kMagic + 4 * i); };
    header = Header{field(0), field(1), field(2), field(3)};
    return qint64(header.bytesPerLine) * header.height <= size - kHeaderSize;
}

}  // namespace beamlet::widgets::readypixels
