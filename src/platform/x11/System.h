#pragma once
// The Linux X11 desktop's own services, under the names platform/System.h lists.
#include "platform/x11/Display.h"
#include "platform/x11/EndSignals.h"
#include "platform/x11/Folders.h"
#include "platform/x11/ModuleSoundPlayer.h"
#include "platform/x11/SingleInstance.h"
#include "platform/x11/StandardStreams.h"
#include "platform/x11/WindowStacking.h"

#include <memory>

namespace beamlet::platform::x11 {

// The arguments as the system gives them: bytes, UTF-8 where the locale is.
class Arguments {
public:
    Arguments(int argc, char* argv[]) : count_(argc), values_(argv) {}
    int count() const { return count_; }
    char** values() const { return values_; }

private:
    int count_;
    char** values_;
};

inline void useConsole() {}

using EndRequests = EndSignals;

inline std::unique_ptr<SoundPlayer> makeSoundPlayer()
{
    return std::make_unique<ModuleSoundPlayer>();
}

}  // namespace beamlet::platform::x11
