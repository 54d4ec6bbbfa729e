#include "platform/win/EndSession.h"

#include <QCoreApplication>

#include <qt_windows.h>

#include <ole2.h>

namespace beamlet::platform::win {

EndSession::EndSession(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

EndSession::~EndSession()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

bool EndSession::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result)
{
    Q_UNUSED(result);
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    // Every top-level window is told; the program ends once. The query is left
    // to Qt, which agrees to the end.
    if (msg->message == WM_ENDSESSION && msg->wParam && !ended_) {
        ended_ = true;
        emit endRequested();
        OleFlushClipboard();
    }
    return false;
}

}  // namespace beamlet::platform::win
