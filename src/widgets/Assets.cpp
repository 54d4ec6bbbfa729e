#include "widgets/Assets.h"

#include "widgets/ReadyPixels.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>
#include <QResource>

namespace beamlet::widgets {

namespace {
// Above this many device pixels to a logical one, a picture is drawn from its
// "@2x" twin: scaling the plain one up would blur it more than the twin's
// scaling down does.
constexpr qreal kDenseScreenRatio = 1.25;
}  // namespace

QString emoticonPicture(int number)
{
    return QStringLiteral(":/emoticons/%1.jpg").arg(number, 2, 10, QLatin1Char('0'));
}

QImage loadImage(const QString& path)
{
    if (path.endsWith(QLatin1String(".pixels"))) {
        const QResource resource(path);
        readypixels::Header header;
        if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression
            || !readypixels::decode(resource.data(), resource.size(), header))
            return {};
        return QImage(resource.data() + readypixels::kHeaderSize, int(header.width), int(header.height),
                      int(header.bytesPerLine), QImage::Format(header.format));
    }
    const QByteArray format =
        path.endsWith(QLatin1String(".jpg")) ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("png");
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage loadPicture(const QString& path, qreal devicePixelRatio)
{
    if (devicePixelRatio > kDenseScreenRatio) {
        const QString twin = path.left(path.lastIndexOf(QLatin1Char('.'))) + QStringLiteral("@2x.png");
        QImage dense = QFile::exists(twin) ? loadImage(twin) : QImage();
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2.0);
            return dense;
        }
    }
    return loadImage(path);
}

QPixmap loadPixmap(const QString& path, qreal devicePixelRatio)
{
    const QString key = path + (devicePixelRatio > kDenseScreenRatio ? QStringLiteral("#2") : QStringLiteral("#1"));
    QPixmap result;
    if (!QPixmapCache::find(key, &result)) {
        result = QPixmap::fromImage(loadPicture(path, devicePixelRatio));
        QPixmapCache::insert(key, result);
    }
    return result;
}

QByteArray chimeBytes()
{
    const QResource resource(kChime);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), qsizetype(resource.size()));
    QFile file(resource.absoluteFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace beamlet::widgets
