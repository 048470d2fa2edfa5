#pragma once

#include "ui/platform/GlobalHotKey.h"

namespace quillory {

// For tests: a hot key that can always be taken (unless told it is held elsewhere) and is
// pressed by press().
class FakeGlobalHotKey : public GlobalHotKey {
public:
    using GlobalHotKey::GlobalHotKey;
    bool isSupported() const override { return true; }
    bool registerKey(const QKeySequence& sequence) override
    {
        ++registrations;
        key = sequence;
        registered_ = !heldElsewhere;
        return registered_;
    }
    void unregisterKey() override { registered_ = false; }
    bool isRegistered() const override { return registered_; }

    // Presses the key; only a held key reaches the program.
    void press()
    {
        if (registered_)
            emit activated();
    }

    bool heldElsewhere = false;
    int registrations = 0;
    QKeySequence key; // the key asked for last

private:
    bool registered_ = false;
};

} // namespace quillory
