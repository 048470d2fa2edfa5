#include "ui/platform/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace quillory {
namespace {

bool anotherCopyAnswers(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(500);
}

} // namespace

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return QStringLiteral("quillory-%1").arg(::getuid());
}

bool SingleInstance::acquire()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(folder + QLatin1Char('/') + name_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(100)) {
        if (anotherCopyAnswers(name_))
            return false;
        // The holder does not answer: a copy that died, or a reused process id.
        lock_->removeStaleLockFile();
        if (!lock_->tryLock(100))
            return false;
    }
    QLocalServer::removeServer(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(name_);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [server = server_.get()] {
        while (QLocalSocket* socket = server->nextPendingConnection())
            socket->deleteLater();
    });
    return true;
}

} // namespace quillory
