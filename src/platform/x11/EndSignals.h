#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as its close control does, so the
// socket is removed and the clipboard is handed off on the way out. Made before
// anything that must be cleaned up, so no such signal finds the program unready.
// The handler only writes the signal's number to a pipe; the event loop reads it,
// and a start still waiting for another program asks pending().
#include <QObject>

class QSocketNotifier;

namespace beamlet::platform::x11 {

class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

    // Whether such a signal came and is still to be handled.
    bool pending() const;

signals:
    void endRequested();

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace beamlet::platform::x11
