#include "platform/ToneFile.h"

#include "platform/System.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryFile>

namespace beamlet::platform {

QString writeToneInto(const QString& folder, const QByteArray& bytes)
{
    if (folder.isEmpty())
        return {};
    const QString target = folder + QStringLiteral("/tone.wav");
    QString written;
    {
        QTemporaryFile temp(folder + QStringLiteral("/.tone-XXXXXX.wav"));
        if (!temp.open())
            return {};
        if (temp.write(bytes) != bytes.size() || !temp.flush())
            return {};
        // Closed for good before it is moved: Windows moves no file that is open.
        temp.setAutoRemove(false);
        written = temp.fileName();
    }
    // The directory entry is swapped: a stale longer file leaves no tail, and a
    // symbolic link is replaced rather than written through.
    if (!native::replaceFile(written, target)) {
        QFile::remove(written);
        return {};
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

QStringList toneFolders()
{
    QStringList folders;
    if (!native::programIsInstalled())
        folders << QCoreApplication::applicationDirPath();
    const QString userFolder = native::userDataFolder();
    if (!userFolder.isEmpty()) {
        QString own = userFolder;
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
