#include "ui/platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillory {
namespace {

constexpr std::array kSignals = {SIGTERM, SIGHUP, SIGINT};

// The pipe the handler writes to and the event loop reads from; its ends outlive the object, as
// a signal may come at any time.
int pipeEnds[2] = {-1, -1};
// What each signal did before, given back when the object goes.
std::array<struct sigaction, kSignals.size()> before{};
std::array<bool, kSignals.size()> taken{};

void noteSignal(int signal)
{
    const int saved = errno;
    // The same signal again is not waited for: it ends the program at once. A hang-up that
    // follows another signal (the session closing sends both) is let go, the end being under way.
    if (signal != SIGHUP)
        std::signal(signal, SIG_DFL);
    std::signal(SIGHUP, SIG_IGN);
    const char byte = static_cast<char>(signal);
    if (::write(pipeEnds[1], &byte, 1) < 0) {} // a full pipe has a byte waiting already
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> quit) : quit_(std::move(quit))
{
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the system's default stays: the program ends where it stands
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {}
        if (quit_)
            quit_();
    });
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        // A signal ignored from the start (nohup, a background job) stays ignored.
        taken[i] = ::sigaction(kSignals[i], nullptr, &before[i]) == 0 && before[i].sa_handler != SIG_IGN
                   && ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

TerminationSignals::~TerminationSignals()
{
    for (size_t i = 0; i < kSignals.size(); ++i) {
        if (taken[i])
            ::sigaction(kSignals[i], &before[i], nullptr);
        taken[i] = false;
    }
}

} // namespace quillory
