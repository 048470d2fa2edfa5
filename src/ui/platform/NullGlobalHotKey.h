#pragma once

#include "ui/platform/GlobalHotKey.h"

namespace quillory {

// The hot key where the platform offers none: nothing is ever taken or pressed.
class NullGlobalHotKey : public GlobalHotKey {
public:
    using GlobalHotKey::GlobalHotKey;
    bool isSupported() const override { return false; }
    bool registerKey(const QKeySequence&) override { return false; }
    void unregisterKey() override {}
    bool isRegistered() const override { return false; }
};

} // namespace quillory
