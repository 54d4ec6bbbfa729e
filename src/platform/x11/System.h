#pragma once
// The Linux X11 desktop's own services, under the names platform/System.h lists.
#include "platform/DesktopServices.h"
#include "platform/EndSignals.h"
#include "platform/SingleInstance.h"
#include "platform/x11/Display.h"
#include "platform/x11/Folders.h"
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

// One program per user and X display, $DISPLAY.
class SingleInstance : public platform::SingleInstance {
public:
    SingleInstance() : platform::SingleInstance(qgetenv("DISPLAY")) {}
};

using EndRequests = EndSignals;

inline std::unique_ptr<SoundPlayer> makeSoundPlayer()
{
    return std::make_unique<ModuleSoundPlayer>();
}

}  // namespace beamlet::platform::x11
