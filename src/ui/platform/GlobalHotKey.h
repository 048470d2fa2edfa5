#pragma once

#include <QObject>

namespace quillory {

// The program's one system-wide key, Ctrl+F2: it brings up the clipboard import from wherever
// the user is. Where the platform offers no such key (no X11 display: Wayland without XWayland,
// the offscreen platform of the tests) isSupported() is false and registering does nothing, as
// when another program holds the key.
class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isSupported() const = 0;
    // Takes the key; false when it could not (unsupported, or held by another program).
    virtual bool registerKey() = 0;
    // Gives the key back; harmless when it is not held.
    virtual void unregisterKey() = 0;
    virtual bool isRegistered() const = 0;

signals:
    // The user pressed the key while it was held.
    void activated();
};

} // namespace quillory
