#include "app/gui/JustOne.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QThread>

namespace {
// Numbers of the messages a copy sends; the process id makes them unique
// among the copies started at the same time.
QByteArray MessageNumber() { return QByteArray::number(static_cast<qint64>(::getpid())) + "-1"; }
}  // namespace

QString TJustOne::DefaultName() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString folder = !runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()
                               ? QString::fromLocal8Bit(runtime)
                               : QDir::tempPath();
    return folder + QStringLiteral("/skiffpost-") + QString::number(::getuid());
}

TJustOne::TJustOne(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

TJustOne::~TJustOne() {
    if (server_) server_->close();
}

TJustOne::TStart TJustOne::Start(const std::function<void()>& writeRequest, int waitMs) {
    running_ = std::make_unique<QLockFile>(name_ + QStringLiteral(".lock"));
    running_->setStaleLockTime(0);  // only a lock of a process that is gone is stale
    if (running_->tryLock(0)) {
        writeRequest();
        // A socket left by a crashed copy would refuse the listen.
        QLocalServer::removeServer(name_);
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        // Without the socket this copy still runs; later copies then fail
        // to hand over and say so.
        if (!server_->listen(name_)) qWarning("skfp: cannot listen on %s", qPrintable(name_));
        connect(server_, &QLocalServer::newConnection, this, &TJustOne::Accept);
        return TStart::First;
    }
    running_.reset();

    QLockFile handOver(name_ + QStringLiteral(".handover"));
    handOver.setStaleLockTime(0);
    if (!handOver.tryLock(waitMs)) return TStart::Failed;
    writeRequest();
    QLocalSocket socket;
    const QDeadlineTimer deadline(waitMs);
    // The running copy may be starting and not yet listening.
    for (;;) {
        socket.connectToServer(name_);
        if (socket.waitForConnected(1000)) break;
        if (deadline.hasExpired()) return TStart::Failed;
        QThread::msleep(50);
    }
    const QByteArray number = MessageNumber();
    socket.write(number + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return TStart::Failed;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return TStart::Failed;
        answer += socket.readAll();
    }
    return answer.left(answer.indexOf('\n')) == number ? TStart::HandedOver : TStart::Failed;
}

void TJustOne::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void TJustOne::Read(QLocalSocket* socket) {
    if (!socket->canReadLine() || socket->property("taken").toBool()) return;
    socket->setProperty("taken", true);  // one message per connection, acted on once
    const QByteArray number = socket->readLine().trimmed();
    QPointer<QLocalSocket> guard(socket);
    auto done = [guard, number] {
        if (!guard) return;
        guard->write(number + '\n');
        guard->flush();
        guard->disconnectFromServer();
    };
    if (handler_)
        handler_(done);
    else
        done();
}
