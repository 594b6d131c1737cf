#pragma once
// One running copy per user: the first start holds a lock file and listens
// on a local socket; a later start asks it to bring its window forward (or
// to open a file) and ends. A lock left by a crashed copy does not block
// the next start.

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace almanary {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` tells copies apart (tests use their own); empty: per user.
    explicit SingleInstance(const QString& name = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // False only when another live copy holds the lock. True when this copy
    // now holds it and listens for activations, and also when no lock can
    // be made at all (an unwritable runtime folder): refusing to start
    // because of that would be worse than a second copy.
    bool tryBecomePrimary();
    // Asks the running copy to come forward, and to open the file at the
    // absolute `path` when one is given; true when the request was
    // delivered to its socket.
    bool activateRunningCopy(const QString& path = {});

    // Where the lock file and the socket live: the user's runtime folder,
    // else the temporary folder.
    QString lockFilePath() const;
    QString serverPath() const;

signals:
    // Another start asked this copy to bring its window forward.
    void activationRequested();
    // Another start was given a file to open.
    void openRequested(const QString& path);

private:
    void listen();
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    int clients_ = 0;
};

}  // namespace almanary
