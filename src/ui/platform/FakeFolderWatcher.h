#pragma once

#include <QTimer>
#include <cstdint>
#include <deque>
#include <map>
#include <set>

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// For tests: watches nothing on disk; a test reports what happened with happen(), naming the
// folder (watchOf gives its number). It keeps the watcher's promises as the system's watcher
// does: at most watchLimit folders are watched, the folders named in unavailable cannot be, and
// while paused notices wait in a queue of queueLimit, to be reported from the event loop after
// resume().
class FakeFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;

    WatchResult watch(const std::string& folder) override
    {
        if (unavailable.count(folder))
            return {WatchOutcome::Unavailable, kNoWatch};
        if (const auto found = watched.find(folder); found != watched.end())
            return {WatchOutcome::Watched, found->second};
        if (watched.size() >= watchLimit)
            return {WatchOutcome::LimitReached, kNoWatch};
        watched[folder] = nextWatch_;
        return {WatchOutcome::Watched, nextWatch_++};
    }
    void unwatch(int watch) override
    {
        std::erase_if(watched, [watch](const auto& one) { return one.second == watch; });
    }
    void stop() override
    {
        watched.clear();
        queue_.clear();
        lostQueued_ = false;
        paused_ = false;
    }
    void pause() override { paused_ = true; }
    void resume() override
    {
        paused_ = false;
        QTimer::singleShot(0, this, [this] { deliverQueued(); });
    }
    bool isWatching() const override { return !watched.empty(); }
    bool isPaused() const override { return paused_; }

    // The number folder is watched under (kNoWatch when it is not).
    int watchOf(const std::string& folder) const
    {
        const auto found = watched.find(folder);
        return found == watched.end() ? kNoWatch : found->second;
    }
    // Something happened to name in folder. Nothing is seen in a folder not watched.
    void happen(WatchNotice::Kind kind, const std::string& folder, const std::string& name, uint32_t cookie = 0)
    {
        const int watch = watchOf(folder);
        if (watch == kNoWatch)
            return;
        const WatchNotice notice{kind, watch, name, false, cookie};
        if (!paused_ && queue_.empty()) {
            emit noticed(notice);
            return;
        }
        if (queue_.size() < queueLimit) {
            queue_.push_back(notice);
        } else if (!lostQueued_) {
            queue_.push_back({WatchNotice::Kind::EventsLost, kNoWatch, {}, false, 0});
            lostQueued_ = true;
        }
    }

    std::map<std::string, int> watched; // folder -> its number
    size_t watchLimit = SIZE_MAX;
    std::set<std::string> unavailable;
    size_t queueLimit = 16384;

private:
    void deliverQueued()
    {
        while (!paused_ && !queue_.empty()) {
            const WatchNotice notice = queue_.front();
            queue_.pop_front();
            if (notice.kind == WatchNotice::Kind::EventsLost)
                lostQueued_ = false;
            emit noticed(notice);
        }
    }

    std::deque<WatchNotice> queue_;
    bool lostQueued_ = false;
    bool paused_ = false;
    int nextWatch_ = 1;
};

} // namespace quillory
