#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as its close control does, so the
// socket is removed and the clipboard is handed off on the way out. The handler
// only writes the signal's number to a pipe; the event loop reads it.
#include <QObject>

class QSocketNotifier;

namespace beamlet::platform {

class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

signals:
    void endRequested();

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace beamlet::platform
