#include "platform/x11/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace beamlet::platform::x11 {

bool programIsInstalled()
{
    // Both sides resolved, so a /bin linked to /usr/bin or an installed tree
    // reached through a link still counts.
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    const QStringList installed = QStringLiteral(BEAMLET_INSTALLED_BINDIRS).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return !here.isEmpty() && std::any_of(installed.begin(), installed.end(), [&here](const QString& folder) {
        return QFileInfo(folder).canonicalFilePath() == here;
    });
}

QString userDataFolder()
{
    return userCacheFolder(qEnvironmentVariable("XDG_CACHE_HOME"), qEnvironmentVariable("HOME"));
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

bool replaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

}  // namespace beamlet::platform::x11
