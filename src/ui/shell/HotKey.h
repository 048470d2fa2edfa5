#pragma once

#include <QObject>
#include <functional>

#include "core/shell/CommandTable.h"

namespace quillory {

class CommandDispatcher;
class GlobalHotKey;
class Messages;

// A command on the system-wide key. The key is the command's shortcut in the command table, and
// a press runs the command through the dispatcher as any menu entry does, after bringing the
// program forward, all as one user action; while a dialog waits for an answer, it only brings
// that dialog forward. The program's message loop is Qt's event loop: the key's presses arrive
// through it.
class HotKey {
public:
    HotKey(GlobalHotKey& key, CommandDispatcher& commands, Messages& messages);
    ~HotKey();
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    // Takes the key of command's row. A key another program holds is not an error: everything
    // else works without it. Returns whether the key is held.
    bool take(Command command, std::function<void()> bringForward);
    // Gives the key back and stops answering it; harmless when it is not held.
    void release();

private:
    void pressed();

    GlobalHotKey& key_;
    CommandDispatcher& commands_;
    Messages& messages_;
    Command command_ = Command::ClipDataIn;
    std::function<void()> bringForward_;
    QMetaObject::Connection connection_;
};

} // namespace quillory
