#pragma once
// One program per user and display. The first start listens on a local socket
// named after both; a later start finds it there, asks it to come to the front
// and ends. A socket left behind by a killed program answers nobody and is
// replaced.
//
// A plain Unix socket watched by the event loop: it is all the hand-over needs,
// and it spares every start the network library and the Kerberos and proxy
// libraries that come with it.
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace beamlet::platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QByteArray& display, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a running program of this user and display took the request to
    // come forward; the caller then ends. Otherwise this one starts listening.
    bool handOverToRunning();

    const QString& socketPath() const { return path_; }

signals:
    // A later start asked this program to come to the front.
    void activationRequested();

private:
    bool listen();
    void acceptWaiting();

    QString path_;
    int listener_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace beamlet::platform
