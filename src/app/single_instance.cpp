#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace keelrun {
namespace {

QString runtimeFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir;
}

}  // namespace

// Both the lock and the socket live in the user's runtime folder.
SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent),
      name_(runtimeFolder() + QLatin1Char('/') + name + QStringLiteral(".socket")),
      lock_(runtimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
    lock_.setStaleLockTime(0);  // a lock left by a crashed run is stale once its process is gone
}

bool SingleInstance::claim()
{
    if (!lock_.tryLock(100)) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(1000)) {
            socket.write("raise\n");
            socket.waitForBytesWritten(1000);
        }
        return false;
    }
    QLocalServer::removeServer(name_);
    server_.listen(name_);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit raiseRequested();
        }
    });
    return true;
}

}  // namespace keelrun
