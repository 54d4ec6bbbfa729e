#pragma once
// The folders Windows gives a program and its user.
#include <QString>

namespace beamlet::platform::win {

// Whether the program runs from a folder programs are installed in: Program
// Files (either), or the user's own Programs folder in the local application
// data, where a per-user installer puts it. Nothing is written there.
bool programIsInstalled();

// The user's local application data folder (%LOCALAPPDATA%); empty if unknown.
QString userDataFolder();

// Puts the file from in place of to, in one step, replacing a file there, a
// read-only one too.
bool replaceFile(const QString& from, const QString& to);

}  // namespace beamlet::platform::win
