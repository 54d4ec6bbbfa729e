#pragma once
// Writes the notification sound to a file users may take it from: next to a
// program run from its own folder when that folder is writable, else in the
// user's folder (the cache folder on Linux, the local application data folder on
// Windows); an installed program writes only to the user's folder.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace beamlet::platform {

// Writes bytes to folder + "/tone.wav", replacing whatever stands there (a longer
// stale file, a read-only file, a symbolic link: the link itself is replaced,
// never followed). Returns the path written, or an empty string on failure.
QString writeToneInto(const QString& folder, const QByteArray& bytes);

// Where tone.wav may go, in order: the program's folder, then this program's
// folder in the user's folder when there is one (<user folder>/Orvane/beamlet).
// Run from a folder programs are installed in (platform/System.h:
// programIsInstalled()), the program is installed: that folder is the system's,
// and nothing is written there whoever runs it, root included.
QStringList toneFolders();

// Tries each folder in turn, creating it if need be; empty when none works.
// Touches no application state, so it may run on any thread.
QString writeTone(const QByteArray& bytes, const QStringList& folders);

}  // namespace beamlet::platform
