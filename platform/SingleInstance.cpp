#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace ambrel {
namespace {

constexpr char kActivateRequest[] = "activate\n";
constexpr int kConnectTimeoutMs = 3000;

}  // namespace

SingleInstanceGuard::SingleInstanceGuard(QString name, QString directory, QObject* parent)
    : QObject(parent), name_(std::move(name)), directory_(std::move(directory)) {
    if (directory_.isEmpty()) {
        directory_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

QString SingleInstanceGuard::SocketPath() const {
    return QDir(directory_).filePath(name_);
}

SingleInstanceGuard::Role SingleInstanceGuard::Acquire() {
    if (directory_.isEmpty() || !QDir().mkpath(directory_))
        return Role::Unguarded;
    lock_ = std::make_unique<QLockFile>(QDir(directory_).filePath(name_ + ".lock"));
    // Only a dead owner makes the lock stale, never its age.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        QLocalServer::removeServer(SocketPath());
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::OnNewConnection);
        server_->listen(SocketPath());  // unreachable if this fails, but still the instance
        return Role::Primary;
    }
    if (lock_->error() != QLockFile::LockFailedError)
        return Role::Unguarded;

    // The first instance may be starting and not listen yet: retry a while.
    QDeadlineTimer deadline(kConnectTimeoutMs);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(200))
            break;
        if (deadline.hasExpired())
            return Role::Secondary;
        QThread::msleep(50);
    }
    socket.write(kActivateRequest);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return Role::Secondary;
}

void SingleInstanceGuard::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            // Only the one request exists; anything else is ignored.
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64)
                    socket->disconnectFromServer();
                return;
            }
            if (socket->readLine(64) == kActivateRequest)
                emit activationRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle();  // the request may have arrived with the connection
    }
}

}  // namespace ambrel
