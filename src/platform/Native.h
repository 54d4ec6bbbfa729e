#pragma once
// platform::native, the folder of the system this build is for: x11 (Linux's X11
// desktop) or win (Windows). System.h says what each provides.
#include <QtGlobal>

namespace beamlet::platform {
#if defined(Q_OS_WIN)
namespace win {
}
namespace native = win;
#else
namespace x11 {
}
namespace native = x11;
#endif
}  // namespace beamlet::platform
