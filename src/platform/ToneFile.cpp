#include "platform/ToneFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
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

QString userCacheFolder(const QString& xdgCacheHome, const QString& home)
{
    // An unset HOME would otherwise make "/.cache" of it, at the root.
    if (!xdgCacheHome.isEmpty() && QDir::isAbsolutePath(xdgCacheHome))
        return QDir::cleanPath(xdgCacheHome);
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.cache"));
    return {};
}

namespace {

bool runsInstalled()
{
    // Both sides resolved, so a /bin linked to /usr/bin or an installed tree
    // reached through a link still counts.
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    const QStringList installed = QStringLiteral(BEAMLET_INSTALLED_BINDIRS).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return !here.isEmpty() && std::any_of(installed.begin(), installed.end(), [&here](const QString& folder) {
        return QFileInfo(folder).canonicalFilePath() == here;
    });
}

}  // namespace

QStringList toneFolders()
{
    QStringList folders;
    if (!runsInstalled())
        folders << QCoreApplication::applicationDirPath();
    const QString cache = userCacheFolder(qEnvironmentVariable("XDG_CACHE_HOME"), qEnvironmentVariable("HOME"));
    if (!cache.isEmpty()) {
        QString own = cache;
        if (!QCoreApplication::organizationName().isEmpty())
            own += QLatin1Char('/') + QCoreApplication::organizationName();
        if (!QCoreApplication::applicationName().isEmpty())
            own += QLatin1Char('/') + QCoreApplication::applicationName();
        folders << own;
    }
    return folders;
}

QString writeTone(const QByteArray& bytes, const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        const QString written = writeToneInto(folder, bytes);
        if (!written.isEmpty())
            return written;
    }
    return {};
}

}  // namespace beamlet::platform
