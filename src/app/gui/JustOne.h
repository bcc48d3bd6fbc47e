#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running copy per user. The first copy holds a lock file and listens
// on a local socket; a later copy writes its request ("Command") while it
// holds the hand-over lock, so requests never overwrite each other, tells
// the running copy through the socket, and ends once that copy has answered
// with the message's number. Each message is acted on once, whatever else
// happens in between. A lock or socket left by a crashed copy is taken
// over, since the lock names a process that no longer runs.
class TJustOne : public QObject {
    Q_OBJECT

public:
    // The socket's path: per user, in the runtime folder when there is one.
    static QString DefaultName();

    explicit TJustOne(QString name, QObject* parent = nullptr);
    ~TJustOne() override;

    enum class TStart { First, HandedOver, Failed };
    // Writes the request (through writeRequest) and either becomes the
    // running copy or hands the request over to it.
    TStart Start(const std::function<void()>& writeRequest, int waitMs = 30000);
    // The request of one hand-over waits in "Command"; call done once it
    // has been taken, which answers the copy that sent it.
    using Done = std::function<void()>;
    void SetHandler(std::function<void(Done)> handler) { handler_ = std::move(handler); }

    const QString& Name() const { return name_; }

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QString name_;
    std::unique_ptr<QLockFile> running_;
    QLocalServer* server_ = nullptr;
    std::function<void(Done)> handler_;
};
