#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace beamlet::platform {

namespace {

// The user's own runtime folder where there is one; else the shared temporary
// folder, with the user's id in the name.
QString socketFolderAndPrefix()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QDir(runtime).exists())
        return runtime + QStringLiteral("/beamlet-");
    return QDir::tempPath() + QStringLiteral("/beamlet-%1-").arg(getuid());
}

// False when the path does not fit a socket address; the program then runs
// without the hand-over rather than on a cut name.
bool toAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (bytes.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    return true;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// A listening program takes the connection itself as the request.
bool someoneAnswers(const sockaddr_un& address)
{
    const int fd = newSocket();
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

}  // namespace

SingleInstance::SingleInstance(const QByteArray& display, QObject* parent) : QObject(parent)
{
    QString name = QString::fromLocal8Bit(display);
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    path_ = socketFolderAndPrefix() + name;
}

SingleInstance::~SingleInstance()
{
    if (listener_ < 0)
        return;
    delete notifier_;
    ::close(listener_);
    ::unlink(QFile::encodeName(path_).constData());
}

bool SingleInstance::handOverToRunning()
{
    sockaddr_un address;
    if (!toAddress(path_, address))
        return false;
    // Two tries: a program starting at the same moment may take the name
    // between our knock and our own bind, and then it is the one to answer.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (someoneAnswers(address))
            return true;
        if (listen())
            return false;
    }
    return false;
}

bool SingleInstance::listen()
{
    sockaddr_un address;
    toAddress(path_, address);
    const int fd = newSocket();
    if (fd < 0)
        return false;
    // The socket is the user's alone: created without group or other access.
    const mode_t oldMask = ::umask(0077);
    int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (bound != 0 && errno == EADDRINUSE && !someoneAnswers(address)) {
        // Left behind by a program that was killed: nobody answers on it.
        ::unlink(address.sun_path);
        bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    ::umask(oldMask);
    if (bound != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
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
        ::close(client);
        emit activationRequested();
    }
}

}  // namespace beamlet::platform
