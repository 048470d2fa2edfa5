#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

namespace quillory {

// What a background worker asks before each step: whether it is to stop, and whether it is to
// wait before that step (tests hold it there to act while it runs; a quiet check waits while the
// user's search runs).
class WorkerGate {
public:
    // Ends the worker at its next step, and wakes it where it is held.
    void stop()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
    }
    bool stopped() const { return stop_; }
    // For work inside a step that checks as it goes.
    const std::atomic<bool>* stopFlag() const { return &stop_; }

    // The worker waits before step until release(), or stop().
    void holdBefore(size_t step)
    {
        std::lock_guard lock(mutex_);
        holdAt_ = step;
    }
    void release()
    {
        {
            std::lock_guard lock(mutex_);
            holdAt_ = kNoHold;
        }
        changed_.notify_all();
    }
    // True while the worker waits at its hold.
    bool holding() const
    {
        std::lock_guard lock(mutex_);
        return holding_;
    }

    // While paused, the worker waits at its next step until resumed (or stopped).
    void pause(bool paused)
    {
        {
            std::lock_guard lock(mutex_);
            paused_ = paused;
        }
        changed_.notify_all();
    }
    bool paused() const { return paused_; }

    // For the worker, before step: false when it is to end.
    bool pass(size_t step)
    {
        if (stop_)
            return false;
        if (holdAt_ != step && !paused_)
            return true;
        std::unique_lock lock(mutex_);
        holding_ = holdAt_ == step;
        changed_.wait(lock, [&] { return stop_ || (holdAt_ != step && !paused_); });
        holding_ = false;
        return !stop_;
    }
    // For a worker whose steps are not counted: waits while paused; false when it is to end.
    bool proceed()
    {
        if (stop_)
            return false;
        if (!paused_)
            return true;
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || !paused_; });
        return !stop_;
    }

private:
    static constexpr size_t kNoHold = std::numeric_limits<size_t>::max();
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> holdAt_{kNoHold};
    std::atomic<bool> paused_{false};
    bool holding_ = false;
};

// A background worker's thread with its gate: started once, stopped and joined by stop() (and
// when it goes).
class GatedWorker {
public:
    GatedWorker() = default;
    GatedWorker(const GatedWorker&) = delete;
    GatedWorker& operator=(const GatedWorker&) = delete;
    ~GatedWorker() { stop(); }

    // Runs body on a thread of its own; false when one runs already.
    bool start(std::function<void()> body)
    {
        if (thread_.joinable())
            return false;
        thread_ = std::thread(std::move(body));
        return true;
    }
    bool started() const { return thread_.joinable(); }
    void stop()
    {
        gate_.stop();
        if (thread_.joinable())
            thread_.join();
    }
    WorkerGate& gate() { return gate_; }
    const WorkerGate& gate() const { return gate_; }

private:
    WorkerGate gate_;
    std::thread thread_;
};

} // namespace quillory
