#pragma once

#include <chrono>
#include <cstdint>

namespace quillory {

// When the monitor writes its records: the first change after a quiet spell starts a timer,
// whose ticks come a minute apart (the first one sooner), and the records are written on the
// tick numbered by MonitorAutoWriteInterval. Changes while the timer runs do not start the
// count again. The count stops at its limit, so an interval it can never reach (0 or less)
// leaves it there rather than running over.
class MinuteCounter {
public:
    static constexpr int16_t kLimit = INT16_MAX;

    explicit MinuteCounter(int writeInterval) : interval_(writeInterval) {}

    struct Tick {
        bool write = false;                // write the records now
        bool running = true;               // false: stop the timer until the next change
        std::chrono::milliseconds next{0}; // the delay until the next tick, when running
    };
    // The delay before the first tick once a change starts the timer: 1 s after the monitor
    // was loaded, hardly any after a write.
    std::chrono::milliseconds firstDelay() const { return firstDelay_; }
    Tick tick();
    int16_t count() const { return count_; }

private:
    int interval_;
    int16_t count_ = 0;
    std::chrono::milliseconds firstDelay_{1000};
};

} // namespace quillory
