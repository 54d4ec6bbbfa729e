#include "Assets.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>
#include <QResource>
#include <QtEndian>

#include <cstring>

namespace beamlet::widgets {

QString emoticonPicture(int number)
{
    return QStringLiteral(":/emoticons/%1.jpg").arg(number, 2, 10, QLatin1Char('0'));
}

QImage loadImage(const QString& path)
{
    if (path.endsWith(QLatin1String(".pixels"))) {
        // Header: "BMLTPIX1", then width, height, format and bytes per line.
        const QResource resource(path);
        const uchar* data = resource.data();
        if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression
            || resource.size() < 32 || std::memcmp(data, "BMLTPIX1", 8) != 0)
            return {};
        const auto field = [data](int i) { return qFromLittleEndian<quint32>(data + 8 + 4 * i); };
        const int width = int(field(0)), height = int(field(1)), bytesPerLine = int(field(3));
        if (qint64(bytesPerLine) * height > resource.size() - 32)
            return {};
        return QImage(data + 32, width, height, bytesPerLine, QImage::Format(field(2)));
    }
    const QByteArray format = path.endsWith(QLatin1String(".jpg")) ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("png");
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage loadPicture(const QString& path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.25) {
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
    const QString key = path + (devicePixelRatio > 1.25 ? QStringLiteral("#2") : QStringLiteral("#1"));
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
