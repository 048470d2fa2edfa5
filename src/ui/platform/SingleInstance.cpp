#include "ui/platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace quillory {
namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownAnswer = "shown\n";

} // namespace

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return QStringLiteral("quillory-%1").arg(::getuid());
}

QString SingleInstance::lockPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

SingleInstance::Answer SingleInstance::askRunningCopyToShow(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(std::min(timeoutMs, 500)))
        return Answer::NobodyThere;
    socket.write(kShowRequest);
    socket.flush();
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    return answer == kShownAnswer ? Answer::Shown : Answer::Silent;
}

SingleInstance::Outcome SingleInstance::acquire(int answerTimeoutMs)
{
    const QString path = lockPath();
    if (QFileInfo(path).isDir())
        return Outcome::LockInTheWay;
    lock_ = std::make_unique<QLockFile>(path);
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(100)) {
        if (lock_->error() != QLockFile::LockFailedError)
            return Outcome::LockInTheWay; // a lock that cannot be made at all
        switch (askRunningCopyToShow(answerTimeoutMs)) {
        case Answer::Shown: return Outcome::OtherShown;
        case Answer::Silent: return Outcome::OtherSilent;
        case Answer::NobodyThere: break;
        }
        // The holder does not listen: a copy that died, or a reused process id.
        lock_->removeStaleLockFile();
        if (!lock_->tryLock(100))
            return Outcome::OtherSilent;
    }
    serve();
    return Outcome::Primary;
}

void SingleInstance::serve()
{
    QLocalServer::removeServer(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(name_);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kShowRequest) {
                    if (onShow_)
                        onShow_();
                    socket->write(kShownAnswer);
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

} // namespace quillory
