#include "ToneFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>

namespace beamlet::platform {

QString writeToneInto(const QString& folder, const QByteArray& bytes)
{
    if (folder.isEmpty())
        return {};
    const QString target = folder + QStringLiteral("/tone.wav");
    QTemporaryFile temp(folder + QStringLiteral("/.tone-XXXXXX.wav"));
    temp.setAutoRemove(true);
    if (!temp.open())
        return {};
    if (temp.write(bytes) != bytes.size() || !temp.flush()) {
        return {};
    }
    temp.close();
    // rename() swaps the directory entry: a stale longer file leaves no tail, and
    // a symbolic link is replaced rather than written through.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return {};
    temp.setAutoRemove(false);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

QString writeTone(const QByteArray& bytes)
{
    QString written = writeToneInto(QCoreApplication::applicationDirPath(), bytes);
    if (written.isEmpty()) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (!cache.isEmpty() && QDir().mkpath(cache))
            written = writeToneInto(cache, bytes);
    }
    return written;
}

}  // namespace beamlet::platform
