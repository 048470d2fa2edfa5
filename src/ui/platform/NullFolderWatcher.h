#pragma once

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// A watcher that watches nothing, until the program has one on the system's change
// notifications: every folder is refused as unavailable.
class NullFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;
    WatchStart start(const std::vector<std::string>& folders) override { return {0, folders, false}; }
    WatchOutcome watch(const std::string&) override { return WatchOutcome::Unavailable; }
    void unwatch(const std::string&) override {}
    void stop() override {}
    void pause() override {}
    void resume() override {}
    bool isWatching() const override { return false; }
    bool isPaused() const override { return false; }
};

} // namespace quillory
