#pragma once

#include <QObject>
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "core/monitor/WatchEvent.h"

namespace quillory {

// Whether one folder is watched after asking for it.
enum class WatchOutcome {
    Watched,      // watched now (also when it already was: a folder is watched once)
    LimitReached, // refused: the user's watch limit, shared by all their programs, ran out
    Unavailable,  // refused: the folder is gone or cannot be read
};

// What watch() achieved, and the number the watcher reports the folder's changes under.
struct WatchResult {
    WatchOutcome outcome = WatchOutcome::Unavailable;
    int watch = kNoWatch; // kNoWatch when refused
};

// What start() achieved: the folders refused are not watched, all the others are.
struct WatchStart {
    size_t watched = 0;
    std::vector<int> watches; // one for each folder given, in their order (kNoWatch: refused)
    std::vector<std::string> refused;
    bool limitReached = false; // at least one was refused for the watch limit
};

// Watches folders for renames, moves, creations and deletions of what they hold and reports
// each, as the system tells it, on the window thread: what happened to which entry of the folder
// watched under which number (a move comes in two halves that share a cookie; the monitor joins
// them). The monitor watches every folder that holds an
// indexed document and all the folders above it, so that renaming any of them is seen.
//
// What the monitor may rely on:
// - One watch per folder. start() replaces what was watched by the folders given, as far as
//   they can be watched, and is for opening a catalog; afterwards watch() and unwatch() add and
//   remove one folder at a time (a new index costs one watch, not a restart). Each folder is
//   reported under the number its watch() or start() gave it until it is unwatched. A refused folder
//   leaves the others watched: the watcher goes on with what it has.
// - pause() means "stop reading", not "stop watching": changes made while paused are not
//   reported then, and not lost either; the system keeps them queued, and resume() reports them
//   in the order they happened. Its queue is bounded: when it overflowed while paused, what
//   came after the overflow is gone and an EventsLost notice follows the changes that were kept,
//   so the monitor compares the catalog with the disk anew.
// - EventsLost can also come while watching normally (the program fell behind).
// - stop() ends watching and drops what was queued; start() resumes a paused watcher.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Stops, then watches each folder in turn.
    WatchStart start(const std::vector<std::string>& folders)
    {
        stop();
        WatchStart outcome;
        outcome.watches.reserve(folders.size());
        std::set<int> handles;
        for (const std::string& folder : folders) {
            const WatchResult one = watch(folder);
            outcome.watches.push_back(one.watch);
            if (one.outcome == WatchOutcome::Watched) {
                handles.insert(one.watch);
            } else {
                outcome.refused.push_back(folder);
                outcome.limitReached = outcome.limitReached || one.outcome == WatchOutcome::LimitReached;
            }
        }
        outcome.watched = handles.size();
        return outcome;
    }
    virtual WatchResult watch(const std::string& folder) = 0;
    // Harmless for a number that watches nothing.
    virtual void unwatch(int watch) = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // True while at least one folder is watched (paused or not).
    virtual bool isWatching() const = 0;
    virtual bool isPaused() const = 0;

signals:
    void noticed(const quillory::WatchNotice& notice);
};

} // namespace quillory
