#pragma once

#include <QObject>
#include <cstddef>
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

// What start() achieved: the folders refused are not watched, all the others are.
struct WatchStart {
    size_t watched = 0;
    std::vector<std::string> refused;
    bool limitReached = false; // at least one was refused for the watch limit
};

// Watches folders for renames, moves, creations and deletions of what they hold and reports
// each as a typed event on the window thread. The monitor watches every folder that holds an
// indexed document and all the folders above it, so that renaming any of them is seen.
//
// What the monitor may rely on:
// - One watch per folder. start() replaces what was watched by the folders given, as far as
//   they can be watched, and is for opening a catalog; afterwards watch() and unwatch() add and
//   remove one folder at a time (a new index costs one watch, not a restart). A refused folder
//   leaves the others watched: the watcher goes on with what it has.
// - pause() means "stop reading", not "stop watching": changes made while paused are not
//   reported then, and not lost either; the system keeps them queued, and resume() reports them
//   in the order they happened. Its queue is bounded: when it overflowed while paused, what
//   came after the overflow is gone and an EventsLost event follows the changes that were kept,
//   so the monitor compares the catalog with the disk anew.
// - EventsLost can also come while watching normally (the program fell behind).
// - stop() ends watching and drops what was queued; start() resumes a paused watcher.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual WatchStart start(const std::vector<std::string>& folders) = 0;
    virtual WatchOutcome watch(const std::string& folder) = 0;
    // Harmless for a folder that is not watched.
    virtual void unwatch(const std::string& folder) = 0;
    virtual void stop() = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    // True while at least one folder is watched (paused or not).
    virtual bool isWatching() const = 0;
    virtual bool isPaused() const = 0;

signals:
    void changed(const quillory::WatchEvent& event);
};

} // namespace quillory
