#pragma once
// The folders the Linux desktop gives a program and its user.
#include <QString>

namespace beamlet::platform::x11 {

// Whether the program runs from a folder the install rules put it in (the
// build's <prefix>/bin or the package's /usr/bin): that folder is the system's,
// and nothing is written there whoever runs it, root included.
bool programIsInstalled();

// The user's cache folder (XDG_CACHE_HOME, else HOME's .cache); empty if unknown.
QString userDataFolder();

// The same from the values of XDG_CACHE_HOME and HOME: the first if absolute,
// else HOME's .cache, only if HOME is absolute; else empty, never a folder at the
// filesystem's root.
QString userCacheFolder(const QString& xdgCacheHome, const QString& home);

// Puts the file from in place of to, in one step (rename()): whatever stood at
// to, a symbolic link included, is replaced, never written through.
bool replaceFile(const QString& from, const QString& to);

}  // namespace beamlet::platform::x11
