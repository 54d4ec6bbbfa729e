#include "Assets.h"

#include <QFile>
#include <QImageReader>
#include <QPixmapCache>
#include <QResource>

namespace beamlet::widgets {

QString emoticonPicture(int number)
{
    return QStringLiteral(":/emoticons/%1.jpg").arg(number, 2, 10, QLatin1Char('0'));
}

QImage loadImage(const QString& path)
{
    const QByteArray format = path.endsWith(QLatin1String(".jpg")) ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("png");
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap loadPixmap(const QString& path, qreal devicePixelRatio)
{
    const bool dense = devicePixelRatio > 1.25;
    const QString key = path + (dense ? QStringLiteral("#2") : QStringLiteral("#1"));
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    if (dense) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twin = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        if (QFile::exists(twin))
            result = QPixmap::fromImage(loadImage(twin));
        if (!result.isNull())
            result.setDevicePixelRatio(2.0);
    }
    if (result.isNull())
        result = QPixmap::fromImage(loadImage(path));
    QPixmapCache::insert(key, result);
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
