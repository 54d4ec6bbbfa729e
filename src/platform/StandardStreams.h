#pragma once
// The command line's standard streams, as the system being built for reads and
// writes them (platform::native::readStandardInput, writeStandardOutput). Apart
// from System.h so that the command line needs nothing of the windows' toolkit.
#include "platform/Native.h"

#if defined(Q_OS_WIN)
#include "platform/win/StandardStreams.h"
#else
#include "platform/x11/StandardStreams.h"
#endif
