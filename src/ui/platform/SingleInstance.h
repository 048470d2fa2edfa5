#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace quillory {

// One copy of the program per user: a lock held on a file in the user's runtime folder, and a
// local socket beside it on which the running copy answers. A second start asks the running copy
// to show its frame and leaves it at that. The lock is the system's (flock): it goes with the
// process that held it, so a copy that died leaves nothing that could be taken for a running one.
// Plain system calls rather than a network library, which would cost every start nine more
// shared libraries to load.
class SingleInstance {
public:
    enum class Outcome {
        Primary,      // this is the copy that runs
        OtherShown,   // another copy runs and has shown its frame
        OtherSilent,  // another copy holds the lock but did not answer in time
        LockInTheWay, // the lock file's place is taken by something that is no lock file
    };

    // name: the lock and socket name; tests pass their own so they can run side by side.
    explicit SingleInstance(QString name = defaultName());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock, or asks the copy that holds it to show itself and waits up to
    // answerTimeoutMs for its answer.
    Outcome acquire(int answerTimeoutMs = 2000);
    bool isPrimary() const { return lockFd_ >= 0; }
    // Where the lock and the socket are: the user's runtime folder (worked out once).
    QString lockPath() const;
    QString socketPath() const;

    // Called in the running copy when a second start asks it to show itself.
    void setShowRequested(std::function<void()> onShow) { onShow_ = std::move(onShow); }

    static QString defaultName();

private:
    enum class Answer { Shown, Silent, NobodyThere };
    Answer askRunningCopyToShow(int timeoutMs) const;
    // Opens the lock file and takes its lock; -1 with busy set while another copy holds it.
    int takeLock(bool& busy) const;
    void serve();
    void acceptCallers();
    struct Caller {
        int fd;
        std::unique_ptr<QSocketNotifier> notifier;
        std::string received;
    };
    std::vector<Caller>::iterator callerOf(int fd);
    void readCaller(int fd);
    void dropCaller(int fd);

    QString name_;
    mutable QString folder_; // the runtime folder, once asked
    int lockFd_ = -1;
    int serverFd_ = -1;
    std::unique_ptr<QSocketNotifier> serverNotifier_;
    std::vector<Caller> callers_;
    std::function<void()> onShow_;
};

} // namespace quillory
