#include "app/SingleInstance.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace almanary {

namespace {

// The whole conversation: one line from the new start, nothing back:
// "activate", or "open " and a file's absolute path in UTF-8.
constexpr QByteArrayView kActivate = "activate";
constexpr QByteArrayView kOpen = "open ";
// The longest line taken; a path is at most PATH_MAX bytes on Linux.
constexpr qsizetype kMaxRequestSize = 4096 + 16;

// How long a new start waits for the running copy to take its request, and
// how long the running copy lets a client take to send it.
constexpr int kActivateWaitMs = 2000;
constexpr int kClientWaitMs = 2000;
// Clients served at once; more are turned away, so nothing on the socket
// can make the running copy hold an unbounded number of connections.
constexpr int kMaxClients = 8;

QString defaultName() {
    return QStringLiteral("almanary-%1").arg(::getuid());
}

// The name becomes part of two file names in one folder.
QString fileNamePart(QString name) {
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return name;
}

// The per-user runtime folder is private to the user and cleared at
// logout, the right place for a lock and a socket.
QString runtimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

void drop(QLocalSocket* socket) {
    socket->abort();
    socket->deleteLater();
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      name_(fileNamePart(name.isEmpty() ? defaultName() : name)),
      folder_(runtimeFolder()) {}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock: closing the server removes its file,
    // which must not happen after a new copy has taken the lock and listens.
    server_.reset();
    lock_.reset();
}

QString SingleInstance::lockFilePath() const {
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

QString SingleInstance::serverPath() const {
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".socket");
}

bool SingleInstance::tryBecomePrimary() {
    if (lock_ != nullptr)
        return true;
    lock_ = std::make_unique<QLockFile>(lockFilePath());
    // Age never makes a lock stale, only an owner that has died: a copy may
    // run for months.
    lock_->setStaleLockTime(0);
    // QLockFile takes over a lock whose owner has died.
    if (lock_->tryLock(0)) {
        listen();
        return true;
    }
    const bool heldByAnother = lock_->error() == QLockFile::LockFailedError;
    lock_.reset();
    if (heldByAnother)
        return false;
    qWarning("Almanary: cannot create %s; a second copy will not be noticed.",
             qPrintable(lockFilePath()));
    return true;
}

void SingleInstance::listen() {
    // A copy that crashed leaves its socket file behind. Only the holder of
    // the lock gets here, so no live copy owns that file.
    QLocalServer::removeServer(serverPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!server_->listen(serverPath())) {
        qWarning("Almanary: cannot listen on %s (%s); a second start will not find this copy.",
                 qPrintable(serverPath()), qPrintable(server_->errorString()));
        server_.reset();
    }
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (clients_ >= kMaxClients) {
            drop(socket);
            continue;
        }
        ++clients_;
        connect(socket, &QObject::destroyed, this, [this] { --clients_; });
        // The socket buffers no more than a request, whatever is sent.
        socket->setReadBufferSize(kMaxRequestSize);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kClientWaitMs, socket, [socket] { drop(socket); });
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        // Part of a request may arrive first; a line too long is not one.
        if (socket->bytesAvailable() >= kMaxRequestSize)
            drop(socket);
        return;
    }
    QByteArray line = socket->readLine(kMaxRequestSize);
    drop(socket);
    line.chop(1);  // the newline
    if (line == kActivate) {
        emit activationRequested();
    } else if (line.startsWith(kOpen)) {
        const QString path = QString::fromUtf8(line.mid(kOpen.size()));
        if (!path.isEmpty())
            emit openRequested(path);
    }
}

bool SingleInstance::activateRunningCopy(const QString& path) {
    const QByteArray request =
        (path.isEmpty() ? kActivate.toByteArray() : kOpen.toByteArray() + path.toUtf8()) + '\n';
    if (request.size() > kMaxRequestSize)
        return false;
    QLocalSocket socket;
    qint64 written = 0;
    connect(&socket, &QLocalSocket::bytesWritten, this,
            [&written](qint64 bytes) { written += bytes; });
    socket.connectToServer(serverPath(), QIODevice::WriteOnly);
    if (!socket.waitForConnected(kActivateWaitMs))
        return false;
    socket.write(request);
    // Each wait returns when some bytes have gone out or the time is up.
    const QDeadlineTimer deadline(kActivateWaitMs);
    while (written < request.size() && !deadline.hasExpired() &&
           socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
    }
    socket.disconnectFromServer();
    return written >= request.size();
}

}  // namespace almanary
