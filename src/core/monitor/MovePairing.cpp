#include "core/monitor/MovePairing.h"

namespace quillory {

JoinedNotice MovePairing::single(const WatchNotice& notice)
{
    JoinedNotice joined;
    joined.isFolder = notice.isFolder;
    switch (notice.kind) {
    case WatchNotice::Kind::Created:
    case WatchNotice::Kind::MovedTo:
        joined.kind = JoinedNotice::Kind::Created;
        joined.to = notice;
        break;
    case WatchNotice::Kind::Deleted:
    case WatchNotice::Kind::MovedFrom:
        joined.kind = JoinedNotice::Kind::Deleted;
        joined.from = notice;
        break;
    case WatchNotice::Kind::EventsLost: joined.kind = JoinedNotice::Kind::EventsLost; break;
    }
    return joined;
}

void MovePairing::release(std::vector<JoinedNotice>& out)
{
    while (!held_.empty() && !held_.front().waiting) {
        out.push_back(std::move(held_.front().joined));
        held_.pop_front();
    }
}

std::vector<JoinedNotice> MovePairing::take(const WatchNotice& notice, MonitorClock::time_point now)
{
    std::vector<JoinedNotice> out = expire(now);
    if (notice.kind == WatchNotice::Kind::EventsLost) {
        for (JoinedNotice& joined : flush()) // the other halves may be among the lost
            out.push_back(std::move(joined));
        out.push_back(single(notice));
        return out;
    }
    if (notice.kind == WatchNotice::Kind::MovedTo) {
        for (Held& held : held_) {
            if (held.waiting && held.joined.from.cookie == notice.cookie) {
                held.joined.kind = JoinedNotice::Kind::Moved;
                held.joined.to = notice;
                held.waiting = false;
                release(out);
                return out;
            }
        }
    }
    Held held{single(notice), notice.kind == WatchNotice::Kind::MovedFrom, now};
    held_.push_back(std::move(held));
    release(out);
    return out;
}

std::vector<JoinedNotice> MovePairing::expire(MonitorClock::time_point now)
{
    std::vector<JoinedNotice> out;
    while (!held_.empty() && held_.front().waiting && now - held_.front().since >= grace_) {
        held_.front().waiting = false; // stays a departure
        release(out);
    }
    return out;
}

std::vector<JoinedNotice> MovePairing::flush()
{
    std::vector<JoinedNotice> out;
    for (Held& held : held_)
        out.push_back(std::move(held.joined));
    held_.clear();
    return out;
}

std::optional<MonitorClock::time_point> MovePairing::deadline() const
{
    if (held_.empty() || !held_.front().waiting)
        return std::nullopt;
    return held_.front().since + grace_;
}

} // namespace quillory
