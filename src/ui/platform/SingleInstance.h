#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace quillory {

// One copy of the program per user: a lock file in the user's runtime folder, and a local
// socket on which the running copy answers. A second start asks the running copy to show its
// frame and leaves it at that; a lock left by a copy that died (or whose process id was reused)
// is not taken for a running one, since nothing answers on its socket.
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

    // Takes the lock, or asks the copy that holds it to show itself and waits up to
    // answerTimeoutMs for its answer.
    Outcome acquire(int answerTimeoutMs = 2000);
    bool isPrimary() const { return server_ != nullptr; }
    QString lockPath() const;

    // Called in the running copy when a second start asks it to show itself.
    void setShowRequested(std::function<void()> onShow) { onShow_ = std::move(onShow); }

    static QString defaultName();

private:
    enum class Answer { Shown, Silent, NobodyThere };
    Answer askRunningCopyToShow(int timeoutMs) const;
    void serve();

    QString name_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onShow_;
};

} // namespace quillory
