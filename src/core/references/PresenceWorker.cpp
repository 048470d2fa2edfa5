#include "core/references/PresenceWorker.h"

namespace quillory {

PresenceWorker::PresenceWorker(const DiskProbe& disk, std::function<void()> ready)
    : disk_(disk), ready_(std::move(ready))
{}

PresenceWorker::~PresenceWorker()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    asked_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PresenceWorker::ask(std::vector<std::string> places)
{
    if (places.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        toLook_.insert(toLook_.end(), std::make_move_iterator(places.begin()), std::make_move_iterator(places.end()));
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); }); // started with the first question
    }
    asked_.notify_all();
}

std::vector<PresenceWorker::Answer> PresenceWorker::take()
{
    std::lock_guard lock(mutex_);
    return std::exchange(answers_, {});
}

void PresenceWorker::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        asked_.wait(lock, [this] { return stopping_ || !toLook_.empty(); });
        if (stopping_)
            return;
        std::vector<std::string> places = std::exchange(toLook_, {});
        lock.unlock();
        std::vector<Answer> found;
        found.reserve(places.size());
        for (std::string& place : places) {
            const Presence presence = presenceOf(disk_, place);
            found.emplace_back(std::move(place), presence);
        }
        lock.lock();
        const bool first = answers_.empty();
        answers_.insert(answers_.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
        if (first && ready_) {
            lock.unlock();
            ready_();
            lock.lock();
        }
    }
}

} // namespace quillory
