#include "ui/platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace quillory {
namespace {

constexpr std::string_view kShowRequest = "show\n";
constexpr std::string_view kShownAnswer = "shown\n";
constexpr size_t kLongestRequest = 64; // a caller that sends more is no copy of this program
constexpr size_t kMostCallers = 16;

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

// The socket's address; false when the path does not fit in one.
bool addressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<size_t>(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    return true;
}

// Whether the process at the other end of a local socket runs as this user.
bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance()
{
    for (Caller& caller : callers_)
        ::close(caller.fd);
    callers_.clear();
    serverNotifier_.reset();
    if (serverFd_ >= 0) {
        closeFd(serverFd_);
        ::unlink(QFile::encodeName(socketPath()).constData());
    }
    if (lockFd_ >= 0) {
        // Taken away while still locked: a start that opened it meanwhile finds, once it has the
        // lock, that the file is no longer the one at the path, and opens that one.
        ::unlink(QFile::encodeName(lockPath()).constData());
        closeFd(lockFd_);
    }
}

QString SingleInstance::defaultName()
{
    return QStringLiteral("quillory-%1").arg(::getuid());
}

QString SingleInstance::lockPath() const
{
    if (folder_.isEmpty()) {
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder_.isEmpty())
            folder_ = QDir::tempPath();
    }
    return folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    QString path = lockPath();
    path.chop(5); // ".lock"
    return path + QStringLiteral(".socket");
}

int SingleInstance::takeLock(bool& busy) const
{
    busy = false;
    const QByteArray path = QFile::encodeName(lockPath());
    for (;;) {
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        struct stat st {};
        // Only a plain file of this user's: one another user made could be held against this one.
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()))
            closeFd(fd);
        if (fd < 0)
            return -1;
        int locked;
        while ((locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {}
        if (locked != 0) {
            busy = errno == EWOULDBLOCK;
            closeFd(fd);
            return -1;
        }
        // The copy that held it may have taken the file away before letting go: then the lock
        // is on a file no one else will open, and the one at the path is the one to take.
        struct stat atPath {};
        if (::stat(path.constData(), &atPath) == 0 && atPath.st_dev == st.st_dev && atPath.st_ino == st.st_ino)
            return fd;
        closeFd(fd);
    }
}

SingleInstance::Outcome SingleInstance::acquire(int answerTimeoutMs)
{
    const auto until = Clock::now() + std::chrono::milliseconds(answerTimeoutMs);
    for (;;) {
        bool busy = false;
        if (const int fd = takeLock(busy); fd >= 0) {
            lockFd_ = fd;
            const std::string pid = std::to_string(::getpid()) + "\n"; // for a person looking
            if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {}
            serve();
            return Outcome::Primary;
        }
        if (!busy)
            return Outcome::LockInTheWay; // a folder, a link, another user's file, or no room
        const Answer answer = askRunningCopyToShow(millisecondsLeft(until));
        if (answer != Answer::NobodyThere || millisecondsLeft(until) == 0)
            return answer == Answer::Shown ? Outcome::OtherShown : Outcome::OtherSilent;
        // The copy holding the lock is alive but not listening: still starting, or ending.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, millisecondsLeft(until))));
    }
}

SingleInstance::Answer SingleInstance::askRunningCopyToShow(int timeoutMs) const
{
    sockaddr_un address;
    if (!addressOf(socketPath(), address))
        return Answer::NobodyThere;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Answer::NobodyThere;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || !peerIsThisUser(fd)
        || ::send(fd, kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL)
               != static_cast<ssize_t>(kShowRequest.size())) {
        closeFd(fd);
        return Answer::NobodyThere;
    }
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string answer;
    bool closedUnanswered = false;
    while (answer.find('\n') == std::string::npos && answer.size() < kLongestRequest) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, millisecondsLeft(until));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break; // no answer in time
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            closedUnanswered = answer.empty();
            break;
        }
        answer.append(buffer, static_cast<size_t>(n));
    }
    closeFd(fd);
    if (answer == kShownAnswer)
        return Answer::Shown;
    // Closed without a word: the copy was ending. The lock tells, once it has let go.
    return closedUnanswered ? Answer::NobodyThere : Answer::Silent;
}

void SingleInstance::serve()
{
    sockaddr_un address;
    const QString path = socketPath();
    if (!addressOf(path, address))
        return; // too long a path: this copy runs, and a second start is told it does
    // Whatever is at the socket's place was left by a copy that died: this one holds the lock.
    ::unlink(address.sun_path);
    serverFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (serverFd_ < 0)
        return;
    if (::bind(serverFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(address.sun_path, 0600) != 0 || ::listen(serverFd_, 8) != 0) {
        closeFd(serverFd_);
        return;
    }
    serverNotifier_ = std::make_unique<QSocketNotifier>(serverFd_, QSocketNotifier::Read);
    QObject::connect(serverNotifier_.get(), &QSocketNotifier::activated, serverNotifier_.get(),
                     [this] { acceptCallers(); });
}

void SingleInstance::acceptCallers()
{
    for (;;) {
        const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                // Out of descriptors, say: the caller waits in the queue while this copy rests.
                serverNotifier_->setEnabled(false);
                QTimer::singleShot(1000, serverNotifier_.get(), [this] { serverNotifier_->setEnabled(true); });
            }
            return;
        }
        if (!peerIsThisUser(fd) || callers_.size() >= kMostCallers) {
            ::close(fd);
            continue;
        }
        auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [this, fd] { readCaller(fd); });
        callers_.push_back({fd, std::move(notifier), {}});
    }
}

void SingleInstance::readCaller(int fd)
{
    const auto caller = callerOf(fd);
    if (caller == callers_.end())
        return;
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        dropCaller(fd); // it went away
        return;
    }
    caller->received.append(buffer, static_cast<size_t>(n));
    if (caller->received.find('\n') == std::string::npos && caller->received.size() < kLongestRequest)
        return; // the rest is still to come
    const bool askedToShow = caller->received == kShowRequest;
    if (askedToShow && ::send(fd, kShownAnswer.data(), kShownAnswer.size(), MSG_NOSIGNAL) < 0) {}
    // Done with before the frame is shown, which may run the event loop.
    dropCaller(fd);
    if (askedToShow && onShow_)
        onShow_();
}

std::vector<SingleInstance::Caller>::iterator SingleInstance::callerOf(int fd)
{
    return std::find_if(callers_.begin(), callers_.end(), [fd](const Caller& caller) { return caller.fd == fd; });
}

void SingleInstance::dropCaller(int fd)
{
    const auto caller = callerOf(fd);
    if (caller == callers_.end())
        return;
    // The notifier may be the one whose signal is running: it goes once that has returned.
    caller->notifier->setEnabled(false);
    caller->notifier.release()->deleteLater();
    ::close(fd);
    callers_.erase(caller);
}

} // namespace quillory
