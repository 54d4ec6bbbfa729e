// Run by the build: turns the pictures the main window shows at start into the
// pixels the window system draws, so the program shows them without decoding
// anything. Each output is a 32-byte header ("BMLTPIX1", width, height, QImage
// format and bytes per line, as 32-bit little-endian numbers, then padding) and
// the rows of pixels.
//   bake_pictures OUTPUT INPUT.png
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: bake_pictures OUTPUT INPUT.png\n", stderr);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[2]));
    if (image.isNull()) {
        std::fprintf(stderr, "bake_pictures: cannot read %s\n", argv[2]);
        return 1;
    }
    // The formats the raster backing store draws from directly: opaque pictures
    // as RGB32, the others premultiplied.
    image = image.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width() && opaque; ++x)
            opaque = qAlpha(row[x]) == 255;
    }
    image = image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    char header[32] = {'B', 'M', 'L', 'T', 'P', 'I', 'X', '1'};
    const quint32 fields[] = {quint32(image.width()), quint32(image.height()), quint32(image.format()),
                              quint32(image.bytesPerLine())};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(fields[i], header + 8 + 4 * i);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(header, sizeof header) != sizeof header
        || out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) != image.sizeInBytes()) {
        std::fprintf(stderr, "bake_pictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
