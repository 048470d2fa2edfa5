#pragma once

#include <QKeySequence>
#include <QObject>
#include <memory>

namespace quillory {

// A system-wide key: the program's one brings up the clipboard import from wherever the user is,
// on the import's own shortcut in the command table. Where the platform offers no such key (no
// X11 display: Wayland without XWayland, the offscreen platform of the tests) isSupported() is
// false and registering does nothing, as when another program holds the key.
class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isSupported() const = 0;
    // Takes the key (one key with its modifiers); false when it could not (unsupported, held by
    // another program, or not a single key). A key held already is given back first.
    virtual bool registerKey(const QKeySequence& key) = 0;
    // Gives the key back; harmless when it is not held.
    virtual void unregisterKey() = 0;
    virtual bool isRegistered() const = 0;

signals:
    // The user pressed the key while it was held.
    void activated();
};

// The hot key of the system the program runs on: a key grab where this build has X11 and the
// program runs on an X server, else one that takes nothing.
std::unique_ptr<GlobalHotKey> makeGlobalHotKey();

} // namespace quillory
