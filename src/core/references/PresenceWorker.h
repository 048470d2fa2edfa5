#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/references/DocumentPresence.h"

namespace quillory {

class DiskProbe;

// Looks whether documents are there on a thread of its own, so that whoever asks (the index
// list, for the rows it paints) never waits for the disk: a slow or hanging drive holds up only
// this thread. Places are looked at in the order asked.
class PresenceWorker {
public:
    using Answer = std::pair<std::string, Presence>;

    // ready is called on the worker's thread when answers wait to be taken where none did.
    PresenceWorker(const DiskProbe& disk, std::function<void()> ready);
    // Waits for the place being looked at, if any; the rest are dropped.
    ~PresenceWorker();
    PresenceWorker(const PresenceWorker&) = delete;
    PresenceWorker& operator=(const PresenceWorker&) = delete;

    void ask(std::vector<std::string> places);
    // The answers since the last call.
    std::vector<Answer> take();

private:
    void run();

    const DiskProbe& disk_;
    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable asked_;
    std::vector<std::string> toLook_;
    std::vector<Answer> answers_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace quillory
