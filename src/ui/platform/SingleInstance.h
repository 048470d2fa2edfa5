#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <memory>

namespace quillory {

// Tells whether another copy of the program runs for this user: a lock file in the user's
// runtime folder, and a local socket that the running copy answers on, so that a lock left by
// a copy that died (or whose process id was reused) is not taken for a running one.
class SingleInstance {
public:
    // name: the lock and socket name; tests pass their own so they can run side by side.
    explicit SingleInstance(QString name = defaultName());
    ~SingleInstance();

    // Takes the lock; false when another copy holds it and answers.
    bool acquire();
    bool isPrimary() const { return server_ != nullptr; }

    static QString defaultName();

private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace quillory
