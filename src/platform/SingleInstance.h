#pragma once
// One program per user and display. The program that holds the display's lock
// file is the running one; it listens on a local socket beside the lock, and a
// later start knocks there to bring its window to the front, then ends. A lock
// whose program has died is taken over; a live one is never broken, however
// busy its program.
//
// Lock and socket live in a folder only the user can write to: the runtime
// folder, else a private folder in the temporary folder. Files of another user
// are never used and never answered: where no safe place exists the program
// starts on its own.
//
// A plain Unix socket watched by the event loop: it is all the hand-over needs,
// and it spares every start the network library and the Kerberos and proxy
// libraries that come with it.
#include <QObject>
#include <QString>

#include <memory>

class QLockFile;
class QSocketNotifier;

namespace beamlet::platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QByteArray& display, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a running program of this user and display took the request to
    // come forward; the caller then ends. Otherwise this one goes on, listening
    // for later starts where it safely can.
    bool handOverToRunning();

    // Empty when there is no safe place for it.
    const QString& socketPath() const { return path_; }

signals:
    // A later start asked this program to come to the front.
    void activationRequested();

private:
    bool listen();
    void acceptWaiting();

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    int listener_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace beamlet::platform
