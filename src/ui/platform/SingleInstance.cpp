#include "ui/platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
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
    // The lock file stays: taking it away while another start may have it open would let two
    // copies each lock a file of their own.
    closeFd(lockFd_);
}

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

QString SingleInstance::socketPath() const
{
    QString path = lockPath();
    path.chop(5); // ".lock"
    return path + QStringLiteral(".socket");
}

SingleInstance::Outcome SingleInstance::acquire(int answerTimeoutMs)
{
    int fd = ::open(QFile::encodeName(lockPath()).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)))
        closeFd(fd);
    if (fd < 0)
        return Outcome::LockInTheWay; // a folder, a link, or a place that cannot be written

    const auto until = Clock::now() + std::chrono::milliseconds(answerTimeoutMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lockFd_ = fd;
            const std::string pid = std::to_string(::getpid()) + "\n"; // for a person looking
            if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {}
            serve();
            return Outcome::Primary;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            closeFd(fd);
            return Outcome::LockInTheWay;
        }
        const Answer answer = askRunningCopyToShow(millisecondsLeft(until));
        if (answer != Answer::NobodyThere || millisecondsLeft(until) == 0) {
            closeFd(fd);
            return answer == Answer::Shown ? Outcome::OtherShown : Outcome::OtherSilent;
        }
        // The copy holding the lock is alive but not listening yet: it is still starting.
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
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::send(fd, kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL)
               != static_cast<ssize_t>(kShowRequest.size())) {
        closeFd(fd);
        return Answer::NobodyThere;
    }
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string answer;
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
        if (n <= 0)
            break;
        answer.append(buffer, static_cast<size_t>(n));
    }
    closeFd(fd);
    return answer == kShownAnswer ? Answer::Shown : Answer::Silent;
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
            return; // none waiting (or the system refused one: it tries again)
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        const bool sameUser = ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
        if (!sameUser || callers_.size() >= kMostCallers) {
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
    const auto caller = std::find_if(callers_.begin(), callers_.end(), [fd](const Caller& c) { return c.fd == fd; });
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
    if (caller->received == kShowRequest) {
        if (onShow_)
            onShow_();
        if (::send(fd, kShownAnswer.data(), kShownAnswer.size(), MSG_NOSIGNAL) < 0) {}
    }
    dropCaller(fd);
}

void SingleInstance::dropCaller(int fd)
{
    const auto caller = std::find_if(callers_.begin(), callers_.end(), [fd](const Caller& c) { return c.fd == fd; });
    if (caller == callers_.end())
        return;
    // The notifier may be the one whose signal is running: it goes once that has returned.
    caller->notifier->setEnabled(false);
    caller->notifier.release()->deleteLater();
    ::close(fd);
    callers_.erase(caller);
}

} // namespace quillory
