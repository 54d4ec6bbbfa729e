#pragma once
// Writes the notification sound where it can be played from: next to the program
// when that folder is writable, else in the user's cache folder.
#include <QByteArray>
#include <QString>

namespace beamlet::platform {

// Writes bytes to folder + "/tone.wav", replacing whatever stands there (a longer
// stale file, a read-only file, a symbolic link: the link itself is replaced,
// never followed). Returns the path written, or an empty string on failure.
QString writeToneInto(const QString& folder, const QByteArray& bytes);

// Tries the program's folder, then the cache folder; empty when neither works.
QString writeTone(const QByteArray& bytes);

}  // namespace beamlet::platform
