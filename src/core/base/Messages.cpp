#include "core/base/Messages.h"

#include "core/base/Diagnostics.h"

#include <algorithm>

namespace quillory {

MsgAnswer Messages::show(const std::string& key, MsgButtons buttons, const std::string& detail)
{
    Message message{key, textSource_ ? textSource_(key) : std::string(), buttons};
    if (!detail.empty())
        message.text += " : " + detail;
    return deliver(std::move(message));
}

MsgAnswer Messages::showText(const std::string& text, MsgButtons buttons)
{
    return deliver(Message{std::string(), text, buttons});
}

MsgAnswer Messages::deliver(Message message)
{
    if (std::this_thread::get_id() != owner_)
        return toHook(message);
    if (batchDepth_ > 0 && message.buttons == MsgButtons::Ok) {
        const bool repeated = std::any_of(pending_.begin(), pending_.end(),
                                          [&](const Message& m) { return m.text == message.text; });
        if (!repeated)
            pending_.push_back(std::move(message));
        return MsgAnswer::Ok;
    }
    flushPending();
    return toHook(message);
}

void Messages::endBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        flushPending();
}

int Messages::suspendBatches()
{
    flushPending();
    const int depth = batchDepth_;
    batchDepth_ = 0;
    return depth;
}

void Messages::resumeBatches(int depth)
{
    flushPending();
    batchDepth_ = depth;
}

void Messages::flushPending()
{
    if (pending_.empty())
        return;
    std::vector<Message> pending;
    pending.swap(pending_);
    if (pending.size() == 1) {
        toHook(pending.front());
        return;
    }
    Message combined{pending.front().key, std::string(), MsgButtons::Ok};
    const size_t listed = std::min(pending.size(), kMaxCombined);
    for (size_t i = 0; i < listed; ++i)
        combined.text += (i ? "\n" : "") + pending[i].text;
    if (pending.size() > listed)
        combined.text += "\n… (+" + std::to_string(pending.size() - listed) + ")";
    toHook(combined);
}

MsgAnswer Messages::toHook(const Message& message)
{
    if (hook_)
        return hook_(message);
    // Without a window to ask, say it in the diagnostics and take the answer that changes nothing.
    writeDiagnostic((message.key.empty() ? std::string() : message.key + ": ") + message.text);
    switch (message.buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

} // namespace quillory
