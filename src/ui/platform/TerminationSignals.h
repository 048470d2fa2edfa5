#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace quillory {

// The program asked to end by the system (SIGTERM at logout or shutdown, SIGHUP when its terminal
// goes, SIGINT from Ctrl+C): instead of dying where it stands, with the change monitor's newest
// records and the window's place still in memory, it ends as File > Exit ends it. The signal is
// only noted in its handler; quit runs on the window thread, from the event loop. A second signal
// while that is under way ends the program at once. One may live at a time.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> quit);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::function<void()> quit_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace quillory
