#pragma once

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// For tests: watches nothing on disk; a test reports events with happen(), which reach the
// program only while it is watching and not paused.
class FakeFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;
    bool start(const std::vector<std::string>& folders) override
    {
        watched = folders;
        watching_ = !folders.empty();
        paused_ = false;
        return watching_;
    }
    void stop() override
    {
        watched.clear();
        watching_ = false;
    }
    void pause() override { paused_ = true; }
    void resume() override { paused_ = false; }
    bool isWatching() const override { return watching_; }
    bool isPaused() const override { return paused_; }

    void happen(const WatchEvent& event)
    {
        if (watching_ && !paused_)
            emit changed(event);
    }

    std::vector<std::string> watched;

private:
    bool watching_ = false;
    bool paused_ = false;
};

} // namespace quillory
