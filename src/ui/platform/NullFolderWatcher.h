#pragma once

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// A watcher that watches nothing, for a system without change notifications: every folder is
// refused as unavailable.
class NullFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;
    WatchResult watch(const std::string&) override { return {WatchOutcome::Unavailable, kNoWatch}; }
    void unwatch(int) override {}
    void stop() override {}
    void pause() override {}
    void resume() override {}
    bool isWatching() const override { return false; }
    bool isPaused() const override { return false; }
};

} // namespace quillory
