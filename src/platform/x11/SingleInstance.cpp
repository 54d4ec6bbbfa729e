#include "platform/x11/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace beamlet::platform::x11 {

namespace {

constexpr int pollIntervalMs = 50;

void say(const QString& what, const QString& path = {})
{
    std::fprintf(stderr, "beamlet: %s%s%s\n", path.isEmpty() ? "" : QFile::encodeName(path).constData(),
                 path.isEmpty() ? "" : ": ", qPrintable(what));
}

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The display as the X server knows it: ":41", ":41.0", "unix:41" and "unix/:41"
// all name display 41 of this machine, so they share one program.
QString displayName(const QByteArray& display)
{
    char* host = nullptr;
    int number = 0;
    if (!xcb_parse_display(display.constData(), &host, &number, nullptr)) {
        QString raw = QString::fromLocal8Bit(display);
        for (QChar& c : raw) {
            if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
                c = QLatin1Char('_');
        }
        return raw.isEmpty() ? QStringLiteral("none") : raw;
    }
    QString name = QString::fromLocal8Bit(host);
    std::free(host);
    if (name == QLatin1String("unix"))
        name.clear();
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return name + QLatin1Char(':') + QString::number(number);
}

// A real folder (not a link) of this user that nobody else may write to.
bool ownedPrivately(const QByteArray& path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool fitsAddress(const QString& path)
{
    return QFile::encodeName(path).size() < qsizetype(sizeof sockaddr_un::sun_path);
}

// The user's runtime folder when it is fit for the socket, else empty.
QString runtimeFolder(const QString& fileName)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && ownedPrivately(QFile::encodeName(runtime))
        && ::access(QFile::encodeName(runtime).constData(), W_OK | X_OK) == 0
        && fitsAddress(runtime + QLatin1Char('/') + fileName))
        return runtime;
    return {};
}

// In $TMPDIR, else /tmp, as QDir::tempPath() has it but for resolving links on
// the way, which every start would pay for in memory (a quarter of a megabyte of
// pages touched); the folder itself is never reached through a link anyway.
QString privateFolder()
{
    QString temp = qEnvironmentVariable("TMPDIR");
    if (!QDir::isAbsolutePath(temp))
        temp = QStringLiteral("/tmp");
    while (temp.size() > 1 && temp.endsWith(QLatin1Char('/')))
        temp.chop(1);
    return temp + QStringLiteral("/beamlet-") + QString::number(::geteuid());
}

// Makes the private folder on first use; false, after a word on standard error,
// when it is not safe.
bool preparePrivate(const QString& folder, const QString& fileName)
{
    const QByteArray bytes = QFile::encodeName(folder);
    if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST) {
        say(QStringLiteral("cannot be made; this start runs on its own"), folder);
        return false;
    }
    if (!ownedPrivately(bytes)) {
        say(QStringLiteral("belongs to another user or is open to others; this start runs on its own"), folder);
        return false;
    }
    if (!fitsAddress(folder + QLatin1Char('/') + fileName)) {
        say(QStringLiteral("is too long a path for a socket; this start runs on its own"), folder);
        return false;
    }
    return true;
}

// The lock file, made if need be: a plain file of this user, never reached through a link.
int openLock(const QByteArray& path, int flags = O_CREAT)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | flags, 0600);
    struct stat info;
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

sockaddr_un toAddress(const QString& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    return address;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Whether the process at the other end of a connection is this user's.
bool peerIsUs(int fd)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

enum class Knock {
    Answered,  // the running program took the knock
    Waiting,   // the knock waits in the program's queue
    Busy,      // its queue is full: it is there, and busy
    Nobody,    // nothing listens (a program starting, or on its way out)
    Stranger
};

// Knocks at the socket, or goes on waiting up to waitMs on a knock made before.
// The running program takes the connection itself as the request and closes it
// once its window comes forward. A connection it never took is reset when it
// stops listening, so a start is never counted as handed over to a program that
// was ending.
Knock knock(const QString& path, int& connection, int waitMs)
{
    if (connection < 0) {
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return Knock::Nobody;
        if (!S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid())
            return Knock::Stranger;
        const int fd = newSocket();
        if (fd < 0)
            return Knock::Nobody;
        const sockaddr_un address = toAddress(path);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            const bool busy = errno == EAGAIN;
            ::close(fd);
            return busy ? Knock::Busy : Knock::Nobody;
        }
        if (!peerIsUs(fd)) {
            ::close(fd);
            return Knock::Stranger;
        }
        connection = fd;
    }
    pollfd wanted{connection, POLLIN, 0};
    if (::poll(&wanted, 1, waitMs) <= 0)
        return Knock::Waiting;
    char byte;
    const ssize_t read = ::recv(connection, &byte, 1, 0);
    if (read < 0 && (errno == EAGAIN || errno == EINTR))
        return Knock::Waiting;
    ::close(connection);
    connection = -1;
    return read >= 0 ? Knock::Answered : Knock::Nobody;
}

using FileId = std::pair<dev_t, ino_t>;

FileId idOf(int fd)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 ? FileId{info.st_dev, info.st_ino} : FileId{};
}

// Zero when nothing stands there.
FileId idOfPath(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? FileId{info.st_dev, info.st_ino} : FileId{};
}

void waitAWhile()
{
    ::poll(nullptr, 0, pollIntervalMs);  // a signal cuts it short
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent)
    : platform::SingleInstance(parent),
      fileName_(QStringLiteral("beamlet-") + displayName(qgetenv("DISPLAY")))
{
}

SingleInstance::~SingleInstance()
{
    release();
}

SingleInstance::Start SingleInstance::start(const std::function<bool()>& toldToEnd)
{
    Start outcome = Start::Run;
    const QString runtime = runtimeFolder(fileName_);
    const QString fallback = privateFolder();
    // A program that had to fall back keeps the display, even once the runtime
    // folder could take the lock again.
    bool fallbackHeld = false;
    if (!runtime.isEmpty() && ownedPrivately(QFile::encodeName(fallback))) {
        const int fd =
            openLock(QFile::encodeName(fallback + QLatin1Char('/') + fileName_ + QStringLiteral(".lock")), 0);
        fallbackHeld = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (fd >= 0)
            ::close(fd);
    }
    QString why;
    if (runtime.isEmpty() || fallbackHeld || claim(runtime, toldToEnd, outcome, why) == Claim::Unusable) {
        if (!why.isEmpty())
            say(QStringLiteral("%1; using %2 instead").arg(why, fallback), runtime);
        if (!preparePrivate(fallback, fileName_))
            return Start::Run;
        if (claim(fallback, toldToEnd, outcome, why) == Claim::Unusable) {
            say(QStringLiteral("%1; this start runs on its own").arg(why), fallback);
            return Start::Run;
        }
    }
    // Told to end while it took the display: nothing more is made.
    if (outcome == Start::Run && toldToEnd()) {
        release();
        return Start::Abandoned;
    }
    return outcome;
}

// A start's wait for the program that holds the lock: the connection it knocked
// on, the holder it waits for and when it gives up on that one.
struct SingleInstance::Waiting {
    int connection = -1;
    FileId holder;
    QDeadlineTimer givingUp;
    bool said = false;

    ~Waiting() { hangUp(); }
    void hangUp()
    {
        if (connection >= 0)
            ::close(connection);
        connection = -1;
    }
};

SingleInstance::Claim SingleInstance::claim(const QString& folder, const std::function<bool()>& toldToEnd,
                                            Start& outcome, QString& why)
{
    lockPath_ = folder + QLatin1Char('/') + fileName_ + QStringLiteral(".lock");
    socketPath_ = folder + QLatin1Char('/') + fileName_;
    const QByteArray lockBytes = QFile::encodeName(lockPath_);
    Waiting waiting;
    while (true) {
        if (toldToEnd()) {
            outcome = Start::Abandoned;
            return Claim::Done;
        }
        const int fd = openLock(lockBytes);
        if (fd < 0) {
            why = QStringLiteral("the lock cannot be made (%1)").arg(lastError());
            return Claim::Unusable;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // A program on its way out removes its lock file while it still holds
            // it: the lock counts only while its name still leads to it.
            if (idOf(fd) != idOfPath(lockPath_)) {
                ::close(fd);
                continue;
            }
            lock_ = fd;
            lockId_ = idOf(fd);
        } else if (errno != EWOULDBLOCK) {
            why = QStringLiteral("the lock cannot be taken (%1)").arg(lastError());
            ::close(fd);
            return Claim::Unusable;
        } else {
            const Round round = waitForHolder(fd, folder, waiting, outcome);
            if (round == Round::Settled)
                return Claim::Done;
            if (round == Round::Again)
                continue;
        }
        return hold(folder, outcome, why);
    }
}

// Another program holds the display. It may still be starting, on its way out,
// or too busy to take the knock: wait for it, within a bound that starts again
// with each new holder.
SingleInstance::Round SingleInstance::waitForHolder(int lockFd, const QString& folder, Waiting& waiting, Start& outcome)
{
    const FileId holder = idOf(lockFd);
    ::close(lockFd);
    if (holder != waiting.holder) {
        waiting.holder = holder;
        waiting.givingUp.setRemainingTime(answerWaitMs);
        waiting.hangUp();
    }
    switch (knock(socketPath_, waiting.connection, pollIntervalMs)) {
    case Knock::Answered:
        outcome = Start::HandedOver;
        return Round::Settled;
    case Knock::Stranger:
        say(QStringLiteral("is not this user's; this start runs on its own"), socketPath_);
        outcome = Start::Run;
        return Round::Settled;
    case Knock::Waiting:
        break;
    case Knock::Busy:
    case Knock::Nobody:
        waitAWhile();
        break;
    }
    if (!waiting.said && waiting.givingUp.remainingTime() < answerWaitMs - slowAnswerMs) {
        say(QStringLiteral("the program running on this display does not answer yet; waiting for it"));
        waiting.said = true;
    }
    if (!waiting.givingUp.hasExpired() || !takeOver(folder, waiting.holder))
        return Round::Again;
    say(QStringLiteral("the program running on this display does not answer; this start takes its place"));
    return Round::TakenOver;
}

// The lock is this start's: it listens for later starts and watches its files.
SingleInstance::Claim SingleInstance::hold(const QString& folder, Start& outcome, QString& why)
{
    if (!listen()) {
        why = QStringLiteral("the socket cannot be made (%1)").arg(lastError());
        release();
        return Claim::Unusable;
    }
    watchFolder(folder);
    outcome = Start::Run;
    return Claim::Done;
}

bool SingleInstance::takeOver(const QString& folder, FileId unanswering)
{
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    // Of the starts that give up together, the one holding the folder's own lock
    // replaces the lock file, and only the file that did not answer.
    const QByteArray lockBytes = QFile::encodeName(lockPath_);
    if (::flock(folderFd, LOCK_EX | LOCK_NB) == 0 && idOfPath(lockPath_) == unanswering) {
        ::unlink(lockBytes.constData());
        const int fd = openLock(lockBytes, O_CREAT | O_EXCL);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lock_ = fd;
            lockId_ = idOf(fd);
        } else if (fd >= 0) {
            ::close(fd);
        }
    }
    ::close(folderFd);
    return lock_ >= 0;
}

bool SingleInstance::listen()
{
    // Holding the lock, this program owns the name: anything there was left by a
    // program that died or that did not answer.
    const QByteArray bytes = QFile::encodeName(socketPath_);
    ::unlink(bytes.constData());
    const int fd = newSocket();
    if (fd < 0)
        return false;
    const sockaddr_un address = toAddress(socketPath_);
    // The socket is the user's alone: created without group or other access.
    const mode_t oldMask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(fd, 8) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    listener_ = fd;
    socketId_ = idOfPath(socketPath_);
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptWaiting);
    return true;
}

void SingleInstance::watchFolder(const QString& folder)
{
    // The folder's entries, not a timer: nothing wakes the program while no start
    // comes, and a program that was stopped finds the news waiting.
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0)
        return;
    if (::inotify_add_watch(watch_, QFile::encodeName(folder).constData(),
                            IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ONLYDIR)
        < 0) {
        ::close(watch_);
        watch_ = -1;
        return;
    }
    watchNotifier_ = new QSocketNotifier(watch_, QSocketNotifier::Read, this);
    connect(watchNotifier_, &QSocketNotifier::activated, this, [this] {
        char events[4096];
        while (::read(watch_, events, sizeof events) > 0) {
        }
        checkClaim();
    });
}

void SingleInstance::checkClaim()
{
    // Removed from under the program (by a cleaner of temporary files, say, or by
    // a start that took over and has ended since): made again, so that later
    // starts still find this program. A start that made its own lock meanwhile
    // has the display.
    if (idOfPath(lockPath_) == FileId{}) {
        const int fd = openLock(QFile::encodeName(lockPath_));
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && idOf(fd) == idOfPath(lockPath_)) {
            ::close(lock_);
            lock_ = fd;
            lockId_ = idOf(fd);
        } else if (fd >= 0) {
            ::close(fd);
        }
    }
    if (isReplaced()) {
        watchNotifier_->setEnabled(false);
        say(QStringLiteral("a later start took this display over while this program did not answer; it ends"));
        emit replaced();
        return;
    }
    if (listener_ >= 0 && idOfPath(socketPath_) != socketId_) {
        delete notifier_;
        notifier_ = nullptr;
        ::close(listener_);
        listener_ = -1;
        if (!listen())
            say(QStringLiteral("cannot listen there any more; later starts will not find this program"), socketPath_);
    }
}

bool SingleInstance::isReplaced() const
{
    const FileId now = idOfPath(lockPath_);
    return now != FileId{} && now != lockId_;
}

void SingleInstance::acceptWaiting()
{
    int client;
    while ((client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        // A program that was replaced while it did not answer leaves the knocks
        // it finds on its return to the one that took its place.
        if (peerIsUs(client) && !isReplaced())
            emit activationRequested();
        ::close(client);
    }
}

void SingleInstance::stopListening()
{
    if (listener_ < 0)
        return;
    delete notifier_;
    notifier_ = nullptr;
    ::close(listener_);
    listener_ = -1;
    // Another program may have taken the name meanwhile: only this one's own socket goes.
    if (idOfPath(socketPath_) == socketId_)
        ::unlink(QFile::encodeName(socketPath_).constData());
}

void SingleInstance::release()
{
    stopListening();
    delete watchNotifier_;
    watchNotifier_ = nullptr;
    if (watch_ >= 0)
        ::close(watch_);
    watch_ = -1;
    if (lock_ < 0)
        return;
    // The lock goes last, its file removed while still held: whoever takes it
    // next finds no socket of ours, and a start that opened the old file sees
    // its name gone and opens the new one.
    if (idOfPath(lockPath_) == lockId_)
        ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(lock_);
    lock_ = -1;
}

}  // namespace beamlet::platform::x11
