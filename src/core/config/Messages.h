#pragma once

#include <functional>
#include <string>

namespace quillory {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// One message as the user is to see it: the configuration key it was looked up by (empty for
// the program's one built-in text), the text, and the buttons offered.
struct Message {
    std::string key;
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
};

// The one way core code talks to the user. Core never shows a window itself: the windows
// install a hook that opens a message box, and tests install one that records what was shown
// and answers as the test says.
class Messages {
public:
    using Hook = std::function<MsgAnswer(const Message&)>;
    using TextSource = std::function<std::string(const std::string& key)>;

    void setHook(Hook hook) { hook_ = std::move(hook); }
    void setTextSource(TextSource source) { textSource_ = std::move(source); }

    // Shows the configured text of key; a non-empty detail (a path, a reason) follows it
    // after " : ".
    MsgAnswer show(const std::string& key, MsgButtons buttons = MsgButtons::Ok,
                   const std::string& detail = {});
    // Shows a text that does not come from the configuration.
    MsgAnswer showText(const std::string& text, MsgButtons buttons = MsgButtons::Ok);

private:
    MsgAnswer deliver(Message message);

    Hook hook_;
    TextSource textSource_;
};

} // namespace quillory
