#include "ui/shell/HotKey.h"

#include <QApplication>
#include <QWidget>

#include "core/base/Messages.h"
#include "ui/platform/GlobalHotKey.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

HotKey::HotKey(GlobalHotKey& key, CommandDispatcher& commands, Messages& messages)
    : key_(key), commands_(commands), messages_(messages)
{}

HotKey::~HotKey()
{
    release();
}

bool HotKey::take(Command command, std::function<void()> bringForward)
{
    release();
    command_ = command;
    bringForward_ = std::move(bringForward);
    connection_ = QObject::connect(&key_, &GlobalHotKey::activated, &key_, [this] { pressed(); });
    return key_.registerKey(QKeySequence(qs(commandRow(command).shortcut)));
}

void HotKey::release()
{
    if (!connection_)
        return;
    key_.unregisterKey();
    QObject::disconnect(connection_);
    connection_ = {};
}

void HotKey::pressed()
{
    // A dialog waits for an answer, perhaps in the middle of a command: it comes forward, and
    // no command starts under it.
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    MessageBatch batch(messages_);
    if (bringForward_)
        bringForward_();
    commands_.run(command_);
}

} // namespace quillory
