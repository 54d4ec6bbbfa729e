#pragma once
// Windows' own services, under the names platform/System.h lists.
#include "platform/QtServices.h"
#include "platform/SoundPlayer.h"
#include "platform/win/Console.h"
#include "platform/win/EndSession.h"
#include "platform/win/Folders.h"
#include "platform/win/SingleInstance.h"
#include "platform/win/StandardStreams.h"
#include "platform/win/WaveOutPlayer.h"

#include <memory>

namespace beamlet::platform::win {

using EndRequests = EndSession;
// Qt's Windows platform hands a window's opacity and stacking to the system at once.
using WindowStacking = QtWindowStacking;

// The windowed program's streams are whatever its caller redirected them to.
inline void useConsole()
{
    useBinaryStandardError();
}

inline bool windowsCanShow()
{
    return true;
}

inline std::unique_ptr<SoundPlayer> makeSoundPlayer()
{
    return std::make_unique<WaveOutPlayer>();
}

}  // namespace beamlet::platform::win
