#include "TSingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "TPelmGlobals.h"

TSingleInstance::TSingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {
    if (folder_.isEmpty()) {
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder_.isEmpty()) folder_ = QDir::tempPath();
    }
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Acquire() {
    TPelmGlobals::MakeMissingDirs(folder_);
    const QString socketName = folder_ + "/Pelmorant.socket";
    lock_ = std::make_unique<QLockFile>(folder_ + "/Pelmorant.lock");
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        // Another instance holds the lock: ask it to show itself.
        QLocalSocket socket;
        socket.connectToServer(socketName);
        if (socket.waitForConnected(2000)) {
            socket.write("show\n");
            socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
        }
        lock_.reset();
        return false;
    }
    QLocalServer::removeServer(socketName);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().startsWith("show")) emit showRequested();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    server_->listen(socketName);
    return true;
}
