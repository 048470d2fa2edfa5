// One copy per user: a second start makes the running copy show itself, a copy that died leaves
// nothing in the way, and a holder that never answers or a lock's place taken is told apart.
#include <QtTest>

#include <atomic>
#include <filesystem>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "support/TestSupport.h"
#include "ui/platform/SingleInstance.h"

namespace quillory::test {

namespace fs = std::filesystem;

namespace {

// A runtime folder of the test's own, as the desktop makes it (owner only).
struct RuntimeFolder {
    TempDir dir;
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", dir / "run"};
    RuntimeFolder()
    {
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
    }
};

// Runs acquire() on a thread of its own while this thread's event loop lets the running copy
// answer; returns its outcome.
SingleInstance::Outcome acquireAside(SingleInstance& instance, int timeoutMs)
{
    std::atomic<bool> done{false};
    SingleInstance::Outcome outcome{};
    std::thread asking([&] {
        outcome = instance.acquire(timeoutMs);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asking.join();
    return outcome;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void aSecondStartMakesTheRunningCopyShowItself_andAnythingElseOnTheSocketShowsNothing()
    {
        RuntimeFolder runtime;
        SingleInstance first(QStringLiteral("qi-test"));
        int shown = 0;
        first.setShowRequested([&shown] { ++shown; });
        QCOMPARE(first.acquire(), SingleInstance::Outcome::Primary);
        QCOMPARE(readBytes(first.lockPath().toStdString()), std::to_string(::getpid()) + "\n");

        // Something else on the socket is answered with nothing and shows nothing.
        const int other = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string socketPath = first.socketPath().toStdString();
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        QCOMPARE(::connect(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QVERIFY(::write(other, "hello\n", 6) == 6);
        const timeval wait{5, 0}; // a copy that never closed fails the test rather than hangs it
        ::setsockopt(other, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char answer[16];
        std::atomic<ssize_t> got{-2};
        std::thread reading([&] { got = ::read(other, answer, sizeof answer); });
        QTRY_VERIFY(got != -2);
        reading.join();
        ::close(other);
        QCOMPARE(got.load(), ssize_t{0});
        QCOMPARE(shown, 0);

        SingleInstance second(QStringLiteral("qi-test"));
        QCOMPARE(acquireAside(second, 2000), SingleInstance::Outcome::OtherShown);
        QCOMPARE(shown, 1);
        QVERIFY(!second.isPrimary());
        // And again: each start is answered.
        SingleInstance third(QStringLiteral("qi-test"));
        QCOMPARE(acquireAside(third, 2000), SingleInstance::Outcome::OtherShown);
        QCOMPARE(shown, 2);
    }

    void aCopyThatEndedOrDiedLeavesNothingInTheWay()
    {
        RuntimeFolder runtime;
        QString socketPath, lockPath;
        {
            SingleInstance first(QStringLiteral("qi-test"));
            QCOMPARE(first.acquire(), SingleInstance::Outcome::Primary);
            socketPath = first.socketPath();
            lockPath = first.lockPath();
            QVERIFY(fs::exists(socketPath.toStdString()));
        }
        // An ended copy takes its socket and lock file away.
        QVERIFY(!fs::exists(socketPath.toStdString()));
        QVERIFY(!fs::exists(lockPath.toStdString()));

        // A copy that died: its lock file and socket file stay, but no lock is held on them.
        writeBytes(lockPath.toStdString(), "12345\n");
        writeBytes(socketPath.toStdString(), "left over");
        SingleInstance next(QStringLiteral("qi-test"));
        QCOMPARE(next.acquire(300), SingleInstance::Outcome::Primary);
        SingleInstance after(QStringLiteral("qi-test"));
        QCOMPARE(acquireAside(after, 2000), SingleInstance::Outcome::OtherShown);
    }

    void aHolderThatDoesNotAnswerYet_orNever_orALockPlaceTaken_isToldApart()
    {
        RuntimeFolder runtime;
        SingleInstance probe(QStringLiteral("qi-test"));
        // A copy holding the lock that never listens (one still starting, or stuck).
        const int held = ::open(probe.lockPath().toLocal8Bit().constData(), O_RDWR | O_CREAT, 0600);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(probe.acquire(300), SingleInstance::Outcome::OtherSilent);
        QVERIFY(waited.elapsed() >= 250);
        QVERIFY(waited.elapsed() < 3000);

        // A copy that is still starting: it holds the lock and listens a little later.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        probe.socketPath().toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
        std::thread lateCopy([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                && ::listen(server, 1) == 0) {
                const int caller = ::accept(server, nullptr, nullptr);
                char request[8] = {};
                if (::read(caller, request, 5) == 5 && std::string(request) == "show\n")
                    (void)!::write(caller, "shown\n", 6);
                ::close(caller);
            }
            ::close(server);
        });
        SingleInstance second(QStringLiteral("qi-test"));
        QCOMPARE(second.acquire(3000), SingleInstance::Outcome::OtherShown);
        lateCopy.join();
        ::unlink(address.sun_path);
        ::close(held);
        QCOMPARE(probe.acquire(300), SingleInstance::Outcome::Primary);

        SingleInstance blocked(QStringLiteral("qi-blocked"));
        fs::create_directories(blocked.lockPath().toStdString());
        QCOMPARE(blocked.acquire(300), SingleInstance::Outcome::LockInTheWay);
        QVERIFY(!blocked.isPrimary());
    }
};

} // namespace quillory::test

QTEST_MAIN(quillory::test::SingleInstanceTest)
#include "SingleInstanceTest.moc"
