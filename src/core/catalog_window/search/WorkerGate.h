#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

namespace quillory {

// What a background search's worker asks before each step: whether it is to stop, and whether
// it is to wait before that step (tests hold it there to act while it runs).
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

    // For the worker, before step: false when it is to end.
    bool pass(size_t step)
    {
        if (stop_)
            return false;
        if (holdAt_ != step)
            return true;
        std::unique_lock lock(mutex_);
        holding_ = true;
        changed_.wait(lock, [&] { return stop_ || holdAt_ != step; });
        holding_ = false;
        return !stop_;
    }

private:
    static constexpr size_t kNoHold = std::numeric_limits<size_t>::max();
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stop_{false};
    std::atomic<size_t> holdAt_{kNoHold};
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
