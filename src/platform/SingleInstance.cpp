#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QThread>

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace beamlet::platform {

namespace {

// How long a start waits for a running program that is too busy to take its knock.
constexpr int answerWaitMs = 30'000;
constexpr int knockIntervalMs = 50;

void say(const char* what, const QString& path = {})
{
    std::fprintf(stderr, "beamlet: %s%s%s\n", path.isEmpty() ? "" : QFile::encodeName(path).constData(),
                 path.isEmpty() ? "" : ": ", what);
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

// The user's runtime folder when it is fit for the socket; else a private folder
// in the temporary folder, made on first use. Empty, after a word on standard
// error, when neither is safe.
QString socketFolder(const QString& fileName)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && ownedPrivately(QFile::encodeName(runtime))
        && ::access(QFile::encodeName(runtime).constData(), W_OK | X_OK) == 0
        && fitsAddress(runtime + QLatin1Char('/') + fileName))
        return runtime;

    const QString folder = QDir::tempPath() + QStringLiteral("/beamlet-%1").arg(::geteuid());
    const QByteArray bytes = QFile::encodeName(folder);
    if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST) {
        say("cannot be made; this start runs on its own", folder);
        return {};
    }
    if (!ownedPrivately(bytes)) {
        say("belongs to another user or is open to others; this start runs on its own", folder);
        return {};
    }
    if (!fitsAddress(folder + QLatin1Char('/') + fileName)) {
        say("is too long a path for a socket; this start runs on its own", folder);
        return {};
    }
    return folder;
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
    Answered,
    Busy,
    Nobody,
    Stranger
};

// A listening program takes the connection itself as the request.
Knock knock(const QString& path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return Knock::Nobody;
    if (!S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid())
        return Knock::Stranger;
    const int fd = newSocket();
    if (fd < 0)
        return Knock::Nobody;
    const sockaddr_un address = toAddress(path);
    Knock result = Knock::Nobody;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        result = peerIsUs(fd) ? Knock::Answered : Knock::Stranger;
    else if (errno == EAGAIN)
        result = Knock::Busy;  // its queue of waiting starts is full: it is there, and busy
    ::close(fd);
    return result;
}

}  // namespace

SingleInstance::SingleInstance(const QByteArray& display, QObject* parent) : QObject(parent)
{
    const QString fileName = QStringLiteral("beamlet-") + displayName(display);
    const QString folder = socketFolder(fileName);
    if (!folder.isEmpty())
        path_ = folder + QLatin1Char('/') + fileName;
}

SingleInstance::~SingleInstance()
{
    if (listener_ >= 0) {
        delete notifier_;
        ::close(listener_);
        ::unlink(QFile::encodeName(path_).constData());
    }
    // The lock goes last: whoever takes it next finds no socket of ours.
    lock_.reset();
}

bool SingleInstance::handOverToRunning()
{
    if (path_.isEmpty())
        return false;
    lock_ = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // A lock is stale only when its program is gone, however old it is.
    lock_->setStaleLockTime(0);
    const QDeadlineTimer deadline(answerWaitMs);
    bool saidWaiting = false;
    while (true) {
        if (lock_->tryLock(0)) {
            if (!listen())
                lock_.reset();
            return false;
        }
        if (lock_->error() != QLockFile::LockFailedError) {
            say("cannot be locked; this start runs on its own", lock_->fileName());
            lock_.reset();
            return false;
        }
        // Another program holds the display. It may still be starting, or too
        // busy to take the knock: wait for it, within a bound.
        switch (knock(path_)) {
        case Knock::Answered:
            lock_.reset();
            return true;
        case Knock::Stranger:
            say("is not this user's; this start runs on its own", path_);
            lock_.reset();
            return false;
        case Knock::Busy:
            if (!saidWaiting)
                say("the program running on this display is busy; waiting for it");
            saidWaiting = true;
            break;
        case Knock::Nobody:
            break;
        }
        if (deadline.hasExpired()) {
            say("the program running on this display does not answer; this start runs on its own");
            lock_.reset();
            return false;
        }
        QThread::msleep(knockIntervalMs);
    }
}

bool SingleInstance::listen()
{
    // Holding the lock, this program owns the name: anything there was left by a
    // program that died.
    const QByteArray bytes = QFile::encodeName(path_);
    ::unlink(bytes.constData());
    const int fd = newSocket();
    if (fd < 0)
        return false;
    const sockaddr_un address = toAddress(path_);
    // The socket is the user's alone: created without group or other access.
    const mode_t oldMask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        say("cannot listen there; later starts will not find this program", path_);
        return false;
    }
    listener_ = fd;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptWaiting);
    return true;
}

void SingleInstance::acceptWaiting()
{
    int client;
    while ((client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        const bool ours = peerIsUs(client);
        ::close(client);
        if (ours)
            emit activationRequested();
    }
}

}  // namespace beamlet::platform
