#pragma once
// The end of the log-on session (log off, shut down, restart) ends the program as
// its close control does. Windows ends the process as soon as the program has
// answered the session's end, so everything happens before the answer: the
// windows close, and the clipboard's text is handed to the system, which keeps it
// once the program is gone.
//
// A close request sent to a window (taskkill without /F, the taskbar's Close)
// reaches the window itself and takes the same path there.
#include <QAbstractNativeEventFilter>
#include <QObject>

namespace beamlet::platform::win {

class EndSession : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit EndSession(QObject* parent = nullptr);
    ~EndSession() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Whether the session's end has been asked for.
    bool pending() const { return ended_; }

signals:
    void endRequested();

private:
    bool ended_ = false;
};

}  // namespace beamlet::platform::win
