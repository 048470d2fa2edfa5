#include "core/config/Messages.h"

#include <iostream>

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
    if (hook_)
        return hook_(message);
    // Without a window to ask, say it on the terminal and take the answer that changes nothing.
    std::cerr << (message.key.empty() ? std::string() : message.key + ": ") << message.text << '\n';
    switch (message.buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

} // namespace quillory
