#include "app/single_instance.h"

#include <QDataStream>
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

SingleInstance::SingleInstance(const QString &name, const QString &folder, QObject *parent)
    : QObject(parent),
      name_((folder.isEmpty() ? runtimeFolder() : folder) + QLatin1Char('/') + name + QStringLiteral(".socket")),
      lock_((folder.isEmpty() ? runtimeFolder() : folder) + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
    lock_.setStaleLockTime(0);  // a lock left by a crashed run is stale once its process is gone
}

SingleInstance::Claim SingleInstance::claim(const QStringList &request)
{
    if (!lock_.tryLock(100)) {
        if (lock_.error() != QLockFile::LockFailedError) {
            problem_ = QStringLiteral("cannot take the lock %1 (%2)")
                           .arg(lock_.fileName(), lock_.error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                                                             : QStringLiteral("an unknown error"));
            return Unguarded;
        }
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(1000)) {
            QDataStream out(&socket);
            out << request;
            socket.waitForBytesWritten(1000);
        }
        return AnotherRuns;
    }
    QLocalServer::removeServer(name_);
    server_.listen(name_);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                QDataStream in(socket);
                in.startTransaction();
                QStringList received;
                in >> received;
                if (in.commitTransaction())
                    emit requested(received);
            });
        }
    });
    return Claimed;
}

}  // namespace keelrun
