#include "platform/x11/Display.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdio>

namespace beamlet::platform::x11 {
namespace {

bool testPlatform()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.startsWith("offscreen") || platform.startsWith("minimal");
}

// Opens and drops one connection to $DISPLAY: well under a millisecond on a local
// display, and it spares the user Qt's plugin messages and abort when X is missing.
bool xDisplayOpens()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

}  // namespace

bool windowsCanShow()
{
    if (testPlatform())
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty() || !xDisplayOpens()) {
        const QByteArray what =
            display.isEmpty() ? QByteArrayLiteral("DISPLAY is not set") : QByteArrayLiteral("DISPLAY is ") + display;
        std::fprintf(stderr,
                     "beamlet: cannot open the X display (%s); it needs an X11 session (XWayland under Wayland).\n",
                     what.constData());
        return false;
    }
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("xcb"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

}  // namespace beamlet::platform::x11
