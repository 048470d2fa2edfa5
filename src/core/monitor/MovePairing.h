#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "core/monitor/WatchEvent.h"

namespace quillory {

using MonitorClock = std::chrono::steady_clock;

// What the watcher's notices come to once the halves of each move are joined.
struct JoinedNotice {
    enum class Kind {
        Created, // at "to": made, or moved in from outside the watched folders
        Deleted, // at "from": deleted, or moved out of sight (a half move whose other half never came)
        Moved,   // from "from" to "to"
        EventsLost,
    };
    Kind kind = Kind::Created;
    WatchNotice from;
    WatchNotice to;
    bool isFolder = false;
};

// Joins each "moved from" notice with the "moved to" of the same cookie. The two halves of a
// move are usually read together but need not be, so a "moved from" waits up to the grace
// period for its other half; what comes meanwhile waits behind it, so that the notices leave in
// the order the changes happened (a rename first, then the file made under the old name).
class MovePairing {
public:
    explicit MovePairing(std::chrono::milliseconds grace) : grace_(grace) {}

    // The notices ready to be handled after this one arrived at now, oldest first.
    std::vector<JoinedNotice> take(const WatchNotice& notice, MonitorClock::time_point now);
    // The notices released because a waiting "moved from" has waited long enough by now.
    std::vector<JoinedNotice> expire(MonitorClock::time_point now);
    // Everything held, each unpaired "moved from" as a departure.
    std::vector<JoinedNotice> flush();
    // When expire() next has something to release.
    std::optional<MonitorClock::time_point> deadline() const;
    bool empty() const { return held_.empty(); }

private:
    struct Held {
        JoinedNotice joined;
        bool waiting = false; // a "moved from" still without its other half
        MonitorClock::time_point since;
    };
    void release(std::vector<JoinedNotice>& out);
    static JoinedNotice single(const WatchNotice& notice);

    std::chrono::milliseconds grace_;
    std::deque<Held> held_;
};

} // namespace quillory
