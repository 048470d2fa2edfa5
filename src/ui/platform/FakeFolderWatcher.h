#pragma once

#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <deque>
#include <set>

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// For tests: watches nothing on disk; a test reports what happened with happen(). It keeps the
// watcher's promises as the system's watcher does: at most watchLimit folders are watched, the
// folders named in unavailable cannot be, and while paused events wait in a queue of
// queueLimit, to be reported from the event loop after resume().
class FakeFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;

    WatchStart start(const std::vector<std::string>& folders) override
    {
        stop();
        WatchStart outcome;
        for (const std::string& folder : folders) {
            const WatchOutcome one = watch(folder);
            if (one != WatchOutcome::Watched) {
                outcome.refused.push_back(folder);
                outcome.limitReached = outcome.limitReached || one == WatchOutcome::LimitReached;
            }
        }
        outcome.watched = watched.size();
        return outcome;
    }
    WatchOutcome watch(const std::string& folder) override
    {
        if (unavailable.count(folder))
            return WatchOutcome::Unavailable;
        if (std::find(watched.begin(), watched.end(), folder) != watched.end())
            return WatchOutcome::Watched;
        if (watched.size() >= watchLimit)
            return WatchOutcome::LimitReached;
        watched.push_back(folder);
        return WatchOutcome::Watched;
    }
    void unwatch(const std::string& folder) override { std::erase(watched, folder); }
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

    // Something changed on disk. Nothing is seen while no folder is watched.
    void happen(const WatchEvent& event)
    {
        if (!isWatching())
            return;
        if (!paused_ && queue_.empty()) {
            emit changed(event);
            return;
        }
        if (queue_.size() < queueLimit) {
            queue_.push_back(event);
        } else if (!lostQueued_) {
            queue_.push_back({WatchEventKind::EventsLost, {}, {}});
            lostQueued_ = true;
        }
    }

    std::vector<std::string> watched;
    size_t watchLimit = SIZE_MAX;
    std::set<std::string> unavailable;
    size_t queueLimit = 16384;

private:
    void deliverQueued()
    {
        while (!paused_ && !queue_.empty()) {
            const WatchEvent event = queue_.front();
            queue_.pop_front();
            if (event.kind == WatchEventKind::EventsLost)
                lostQueued_ = false;
            emit changed(event);
        }
    }

    std::deque<WatchEvent> queue_;
    bool lostQueued_ = false;
    bool paused_ = false;
};

} // namespace quillory
