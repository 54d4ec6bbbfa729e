#pragma once
// One program per user and X display ($DISPLAY), as platform/SingleInstance.h
// says. The program that holds the display's lock is the running one; it listens
// on a local socket beside the lock, and a later start knocks there: the running
// program takes the knock, brings its window to the front and closes the
// connection, which tells the start to end.
//
// The lock is the kernel's (flock): it goes with its program, however that
// program ends, so a lock left behind never needs guessing at, whatever process
// now has its old id. A program on its way out removes its socket and keeps its
// lock to the end. A start that gives up on a program that does not answer
// replaces the lock file under the folder's own lock; the program that did not
// answer finds the name leading to another file once it runs again. Lock or
// socket removed from under the running program are made again.
//
// Lock and socket live in a folder only the user can write to: the runtime
// folder, else (unsafe, too long a path, or where the lock cannot be made, a
// full disk say) a private folder in the temporary folder. Files of another user
// are never used and never answered: where no safe place exists the program
// starts on its own.
//
// A plain Unix socket watched by the event loop: it is all the hand-over needs,
// and it spares every start the network library and the Kerberos and proxy
// libraries that come with it.
#include "platform/SingleInstance.h"

#include <QString>

#include <functional>
#include <sys/types.h>
#include <utility>

class QSocketNotifier;

namespace beamlet::platform::x11 {

class SingleInstance final : public platform::SingleInstance {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    Start start(const std::function<bool()>& toldToEnd) override;
    void stopListening() override;

private:
    using FileId = std::pair<dev_t, ino_t>;  // a file as the file system knows it
    enum class Claim {
        Done,
        Unusable  // the lock or the socket cannot be made in this folder
    };

    struct Waiting;
    enum class Round {
        Settled,   // the holder answered, or is not this user's
        Again,     // try the lock again
        TakenOver  // the holder did not answer in time and this start took its place
    };

    Claim claim(const QString& folder, const std::function<bool()>& toldToEnd, Start& outcome, QString& why);
    Round waitForHolder(int lockFd, const QString& folder, Waiting& waiting, Start& outcome);
    Claim hold(const QString& folder, Start& outcome, QString& why);
    bool takeOver(const QString& folder, FileId unanswering);
    bool listen();
    void watchFolder(const QString& folder);
    void checkClaim();
    bool isReplaced() const;
    void acceptWaiting();
    void release();

    const QString fileName_;
    QString lockPath_;
    QString socketPath_;
    int lock_ = -1;
    FileId lockId_;
    int listener_ = -1;
    FileId socketId_;
    QSocketNotifier* notifier_ = nullptr;
    int watch_ = -1;
    QSocketNotifier* watchNotifier_ = nullptr;
};

}  // namespace beamlet::platform::x11
