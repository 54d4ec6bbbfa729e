// Run by the build: turns the pictures the main window shows at start into the
// pixels the window system draws (ReadyPixels.h), so the program shows them
// without decoding anything.
//   bake_pictures OUTPUT INPUT.png
//   bake_pictures --main-window OUTPUT BACKGROUND.png HEADER.png TITLE-BAND.png LOGO.png
//   bake_pictures --mini-window OUTPUT BACKGROUND.png
//   bake_pictures --icon OUTPUT.ico ICON.png ICON@2x.png ICON-256.png
// The second form lays the header strip, the title band and the logo on the
// background at their places, so the main window starts with one picture to
// draw instead of four, three of them hiding most of the fourth. The third keeps
// the part of the background the mini window shows. An OUTPUT ending in
// "@2x.png" is the same at twice the size, for dense screens, as PNG. The fourth
// makes the Windows program's icon: the 48 and 256 pixel pictures as they are, and
// 16, 24 and 32 pixel ones drawn down from the 96 pixel picture.
#include "core/Layout.h"
#include "widgets/ReadyPixels.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <cstdio>
#include <cstring>

namespace {

QImage read(const char* path)
{
    QImage image(QString::fromLocal8Bit(path));
    if (image.isNull())
        std::fprintf(stderr, "bake_pictures: cannot read %s\n", path);
    return image;
}

QImage mainWindow(char* paths[], int scale)
{
    using namespace beamlet::core;
    QImage window = read(paths[0]).convertToFormat(QImage::Format_RGB32);
    if (window.isNull())
        return {};
    // Counted in the picture's own pixels, though a "@2x" file reads as dense.
    window.setDevicePixelRatio(1.0);
    const struct {
        const char* path;
        Rect place;
    } layers[] = {{paths[1], layout::kHeaderStrip}, {paths[2], layout::kTitleBand}, {paths[3], layout::kLogo}};
    QPainter painter(&window);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const auto& layer : layers) {
        const QImage picture = read(layer.path);
        if (picture.isNull())
            return {};
        // In the order the window makes them: each lies over those before it.
        painter.drawImage(
            QRect(layer.place.x * scale, layer.place.y * scale, layer.place.w * scale, layer.place.h * scale), picture);
    }
    painter.end();
    return window;
}

QImage miniWindow(const char* background, int scale)
{
    using beamlet::core::layout::kMiniWindow;
    return read(background).copy(0, 0, kMiniWindow.w * scale, kMiniWindow.h * scale);
}

bool writePixels(const QImage& picture, const char* path)
{
    // The formats the raster backing store draws from directly: opaque pictures
    // as RGB32, the others premultiplied.
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width() && opaque; ++x)
            opaque = qAlpha(row[x]) == 255;
    }
    image = image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    const auto header = beamlet::widgets::readypixels::encode(
        {quint32(image.width()), quint32(image.height()), quint32(image.format()), quint32(image.bytesPerLine())});
    QFile out(QString::fromLocal8Bit(path));
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && out.write(header.data(), qint64(header.size())) == qint64(header.size())
        && out.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) == image.sizeInBytes();
}

// An icon file whose pictures are stored as PNG, as Windows reads them since Vista.
bool writeIcon(char* paths[], const char* output)
{
    const QImage small = read(paths[0]);
    const QImage dense = read(paths[1]);
    const QImage large = read(paths[2]);
    if (small.isNull() || dense.isNull() || large.isNull())
        return false;
    QList<QImage> pictures;
    for (const int size : {16, 24, 32})
        pictures << dense.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pictures << small << large;
    QByteArray directory;
    QByteArray images;
    const auto add16 = [&directory](quint16 value) { directory.append(reinterpret_cast<const char*>(&value), 2); };
    const auto add32 = [&directory](quint32 value) { directory.append(reinterpret_cast<const char*>(&value), 4); };
    add16(qToLittleEndian<quint16>(0));
    add16(qToLittleEndian<quint16>(1));  // an icon, not a cursor
    add16(qToLittleEndian<quint16>(quint16(pictures.size())));
    const quint32 headerSize = 6 + 16 * quint32(pictures.size());
    for (const QImage& picture : pictures) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
        // 256 is written as 0: the field is one byte.
        directory.append(char(picture.width() & 0xff)).append(char(picture.height() & 0xff)).append(2, '\0');
        add16(qToLittleEndian<quint16>(1));   // planes
        add16(qToLittleEndian<quint16>(32));  // bits per pixel
        add32(qToLittleEndian<quint32>(quint32(png.size())));
        add32(qToLittleEndian<quint32>(headerSize + quint32(images.size())));
        images += png;
    }
    QFile out(QString::fromLocal8Bit(output));
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(directory) == directory.size()
        && out.write(images) == images.size();
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool main = argc == 7 && std::strcmp(argv[1], "--main-window") == 0;
    const bool mini = argc == 4 && std::strcmp(argv[1], "--mini-window") == 0;
    const bool icon = argc == 6 && std::strcmp(argv[1], "--icon") == 0;
    if (argc != 3 && !main && !mini && !icon) {
        std::fputs("usage: bake_pictures OUTPUT INPUT.png\n"
                   "       bake_pictures --main-window OUTPUT BACKGROUND.png HEADER.png TITLE-BAND.png LOGO.png\n"
                   "       bake_pictures --mini-window OUTPUT BACKGROUND.png\n"
                   "       bake_pictures --icon OUTPUT.ico ICON.png ICON@2x.png ICON-256.png\n",
                   stderr);
        return 2;
    }
    if (icon) {
        if (writeIcon(argv + 3, argv[2]))
            return 0;
        std::fprintf(stderr, "bake_pictures: cannot write %s\n", argv[2]);
        return 1;
    }
    const char* output = main || mini ? argv[2] : argv[1];
    const bool dense = QByteArray(output).endsWith("@2x.png");
    const int scale = dense ? 2 : 1;
    const QImage picture = main ? mainWindow(argv + 3, scale) : mini ? miniWindow(argv[3], scale) : read(argv[2]);
    if (picture.isNull())
        return 1;
    if (dense ? !picture.save(QString::fromLocal8Bit(output)) : !writePixels(picture, output)) {
        std::fprintf(stderr, "bake_pictures: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
