#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quillory {

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// One message as the user is to see it: the configuration key it was looked up by (empty for
// the program's one built-in text; the first key of several told at once), the text, and the
// buttons offered.
struct Message {
    std::string key;
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
};

// The one way core code talks to the user. Core never shows a window itself: the windows
// install a hook that opens a message box, and tests install one that records what was shown
// and answers as the test says.
//
// One user action shows at most one notice: while a MessageBatch is open, notices (OK-only
// messages) are collected and shown together as one message when the outermost batch ends. A
// question shows what was collected first, then asks. Messages belong to the thread that made
// this object (the window thread); one told from another thread goes to the hook at once, and
// the hook must hand it over to the window thread.
class Messages {
public:
    using Hook = std::function<MsgAnswer(const Message&)>;
    using TextSource = std::function<std::string(const std::string& key)>;

    void setHook(Hook hook) { hook_ = std::move(hook); }
    void setTextSource(TextSource source) { textSource_ = std::move(source); }

    // Shows the configured text of key; a non-empty detail (a path, a reason) follows it
    // after " : ".
    MsgAnswer show(const std::string& key, MsgButtons buttons = MsgButtons::Ok, const std::string& detail = {});
    // The configured text of key ("" for no key).
    std::string text(const std::string& key) const
    {
        return key.empty() || !textSource_ ? std::string() : textSource_(key);
    }
    // Shows a text that does not come from the configuration.
    MsgAnswer showText(const std::string& text, MsgButtons buttons = MsgButtons::Ok);

    void beginBatch() { ++batchDepth_; }
    void endBatch();
    // A dialog opened within a user action is the user's to act in: while it is open, what is
    // told is not held back for the action that opened it to end. Shows what was collected, and
    // returns the batches open so far; resumeBatches takes them up again when the dialog closes.
    int suspendBatches();
    void resumeBatches(int depth);

    // At most this many notices are listed in one combined message; the rest are counted.
    static constexpr size_t kMaxCombined = 8;

private:
    MsgAnswer deliver(Message message);
    MsgAnswer toHook(const Message& message);
    void flushPending();

    Hook hook_;
    TextSource textSource_;
    int batchDepth_ = 0;
    std::vector<Message> pending_;
    std::thread::id owner_ = std::this_thread::get_id();
};

// Held while a dialog is open (for as long as its exec() runs): each of its buttons is a user
// action of its own, whose message is shown while the dialog is still open.
class DialogMessages {
public:
    explicit DialogMessages(Messages& messages) : messages_(messages), depth_(messages.suspendBatches()) {}
    ~DialogMessages() { messages_.resumeBatches(depth_); }
    DialogMessages(const DialogMessages&) = delete;
    DialogMessages& operator=(const DialogMessages&) = delete;

private:
    Messages& messages_;
    int depth_;
};

// Collects the notices of one user action and shows them as one message when it ends.
class MessageBatch {
public:
    explicit MessageBatch(Messages& messages) : messages_(messages) { messages_.beginBatch(); }
    ~MessageBatch() { messages_.endBatch(); }
    MessageBatch(const MessageBatch&) = delete;
    MessageBatch& operator=(const MessageBatch&) = delete;

private:
    Messages& messages_;
};

} // namespace quillory
