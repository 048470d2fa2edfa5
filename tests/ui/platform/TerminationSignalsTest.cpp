// The signals that ask the program to end: each is handed to the event loop once, a hang-up that
// follows another is let go, the same signal twice is not waited for, and a signal ignored from
// the start (nohup) stays ignored.
#include <QtTest>

#include <csignal>

#include "ui/platform/TerminationSignals.h"

namespace quillory::test {

namespace {

using Handler = void (*)(int);

Handler handlerOf(int signal)
{
    struct sigaction now {};
    ::sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

} // namespace

class TerminationSignalsTest : public QObject {
    Q_OBJECT

private slots:
    void aTermThenAHangUpAskOnce_theTermAgainWouldEndAtOnce_andASignalIgnoredFromTheStartStaysIgnored()
    {
        const Handler term = handlerOf(SIGTERM), hangUp = handlerOf(SIGHUP), interrupt = handlerOf(SIGINT);
        int asked = 0;
        {
            const TerminationSignals handling([&asked] { ++asked; });
            QVERIFY(handlerOf(SIGTERM) != term && handlerOf(SIGHUP) != hangUp && handlerOf(SIGINT) != interrupt);
            ::raise(SIGTERM);
            ::raise(SIGHUP); // the session closing: this process survives it
            QTRY_VERIFY(asked >= 1);
            QCoreApplication::processEvents();
            QCOMPARE(asked, 1);                     // both noted before the loop turned: one end asked for
            QVERIFY(handlerOf(SIGTERM) == SIG_DFL); // a second one is not waited for
            QVERIFY(handlerOf(SIGHUP) == SIG_IGN);
        }
        // Gone: what was there before is back.
        QVERIFY(handlerOf(SIGTERM) == term && handlerOf(SIGHUP) == hangUp && handlerOf(SIGINT) == interrupt);

        // A signal ignored from the start stays ignored.
        const Handler before = std::signal(SIGINT, SIG_IGN); // as a background job of a shell has it
        asked = 0;
        {
            const TerminationSignals handling([&asked] { ++asked; });
            QVERIFY(handlerOf(SIGINT) == SIG_IGN);
            ::raise(SIGINT);
            QTest::qWait(100);
            QCOMPARE(asked, 0);
        }
        QVERIFY(handlerOf(SIGINT) == SIG_IGN);
        std::signal(SIGINT, before);
    }
};

} // namespace quillory::test

QTEST_MAIN(quillory::test::TerminationSignalsTest)
#include "TerminationSignalsTest.moc"
