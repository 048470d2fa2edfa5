#pragma once

#include "ui/platform/FolderWatcher.h"

namespace quillory {

// A watcher that watches nothing, until the program has one on the system's change
// notifications.
class NullFolderWatcher : public FolderWatcher {
public:
    using FolderWatcher::FolderWatcher;
    bool start(const std::vector<std::string>&) override { return false; }
    void stop() override {}
    void pause() override {}
    void resume() override {}
    bool isWatching() const override { return false; }
    bool isPaused() const override { return false; }
};

} // namespace quillory
