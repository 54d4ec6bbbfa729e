#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>

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

}  // namespace

SingleInstance::SingleInstance(const QByteArray& display, QObject* parent) : QObject(parent)
{
    QString name = QString::fromLocal8Bit(display);
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    path_ = socketFolderAndPrefix() + name;
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
            emit activationRequested();
        }
    });
}

bool SingleInstance::handOverToRunning()
{
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (socket.waitForConnected(1000)) {
        socket.disconnectFromServer();
        return true;
    }
    // Nobody answers: a socket still standing there was left by a program that
    // was killed, and goes.
    if (!server_.listen(path_)) {
        QLocalServer::removeServer(path_);
        server_.listen(path_);
    }
    return false;
}

}  // namespace beamlet::platform
