#pragma once

#include <memory>
#include <unordered_map>

#include "ui/platform/FolderWatcher.h"

class QSocketNotifier;

namespace quillory {

// The folder watcher on the kernel's inotify: one watch per folder (its watch descriptor is the
// number it is reported under), read from a nonblocking descriptor whenever the window thread's
// event loop finds something to read, so the window never waits for it. Pausing stops the
// reading; the kernel keeps queueing, and tells of an overflow when it is read again.
class InotifyFolderWatcher : public FolderWatcher {
public:
    explicit InotifyFolderWatcher(QObject* parent = nullptr);
    ~InotifyFolderWatcher() override;

    WatchResult watch(const std::string& folder) override;
    void unwatch(int watch) override;
    void stop() override;
    void pause() override;
    void resume() override;
    bool isWatching() const override { return !watches_.empty(); }
    bool isPaused() const override { return paused_; }

    // Reads and reports what the kernel has queued (the event loop does this by itself).
    void readNow();

private:
    bool open();
    void close();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unordered_map<int, int> watches_; // descriptor -> how many folders asked for it
    bool paused_ = false;
};

} // namespace quillory
