#include "core/monitor/MinuteCounter.h"

namespace quillory {

MinuteCounter::Tick MinuteCounter::tick()
{
    if (count_ < kLimit)
        ++count_;
    if (count_ != interval_)
        return Tick{false, true, std::chrono::minutes(1)};
    count_ = 0;
    firstDelay_ = std::chrono::milliseconds(1);
    return Tick{true, false, firstDelay_};
}

} // namespace quillory
