#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "core/monitor/WatchEvent.h"

namespace quillory {

// Watches folders for renames, moves, creations and deletions of what they hold and reports
// each as a typed event on the window thread. The monitor watches every folder that holds an
// indexed document and all the folders above it, so that renaming any of them is seen.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches folders (replacing what was watched before). False when none could be watched.
    virtual bool start(const std::vector<std::string>& folders) = 0;
    virtual void stop() = 0;
    // While paused, changes are not reported (the program is changing the catalog itself).
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual bool isWatching() const = 0;
    virtual bool isPaused() const = 0;

signals:
    void changed(const quillory::WatchEvent& event);
};

} // namespace quillory
