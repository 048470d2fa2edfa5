#include "ui/platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillory {
namespace {

constexpr std::array kSignals = {SIGTERM, SIGHUP, SIGINT};

// The pipe the handler writes to and the event loop reads from; its ends outlive the object, as
// a signal may come at any time.
int pipeEnds[2] = {-1, -1};

void noteSignal(int signal)
{
    // Whatever comes next is not waited for: the first one is being seen to.
    for (const int each : kSignals)
        std::signal(each, SIG_DFL);
    const int saved = errno;
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
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
}

} // namespace quillory
