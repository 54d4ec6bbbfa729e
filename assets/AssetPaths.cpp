#include "AssetPaths.h"

#include <QFile>
#include <QPixmapCache>

namespace beamlet::assets {

QString emoticonPath(int number)
{
    return QStringLiteral(":/emoticons/%1.jpg").arg(number, 2, 10, QLatin1Char('0'));
}

QPixmap pixmap(const QString& path, qreal devicePixelRatio)
{
    const bool dense = devicePixelRatio > 1.25;
    const QString key = path + (dense ? QStringLiteral("#2") : QStringLiteral("#1"));
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    if (dense) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twin = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        if (QFile::exists(twin) && result.load(twin))
            result.setDevicePixelRatio(2.0);
    }
    if (result.isNull())
        result.load(path);
    QPixmapCache::insert(key, result);
    return result;
}

}  // namespace beamlet::assets
