#pragma once
// The services each system provides its own way, under one name for the system
// this build is for: platform::native. Each system's folder offers the same names
// in its own namespace: x11 (Linux's X11 desktop), win (Windows).
//
//   Arguments                the command line's arguments, in UTF-8
//   useConsole()             before the command line runs: its streams made ready
//   windowsCanShow()         before the application object: whether windows can
//                            show here; says why not on standard error
//   SingleInstance           one program per user session: a later start hands over
//                            to the running one (activationRequested())
//   EndRequests              requests from outside to end (endRequested()): signals,
//                            the end of the log-on session
//   WindowStacking           stacking and opacity, reaching the screen at once
//   makeSoundPlayer()        the chime's player
//   programIsInstalled()     whether the program's folder is the system's
//   userDataFolder()         the user's folder for files the program leaves
//   readStandardInput(), writeStandardOutput()   the command line's streams
#include "platform/Native.h"

#if defined(Q_OS_WIN)
#include "platform/win/System.h"
#else
#include "platform/x11/System.h"
#endif
