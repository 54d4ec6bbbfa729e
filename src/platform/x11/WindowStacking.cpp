#include "platform/x11/WindowStacking.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace beamlet::platform::x11 {

void WindowStacking::setOpacity(QWidget& window, int alpha)
{
    QtWindowStacking::setOpacity(window, alpha);
    // Qt only queues the property change; it leaves for the X server when something
    // else flushes the connection. A moving window's configure events do that, a
    // window fading in at rest has nothing: send each step now. (No X connection
    // off screen.)
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        xcb_flush(x11->connection());
}

}  // namespace beamlet::platform::x11
