// One message per user action, a dialog's own actions while it is open, and messages with no
// window to show them.
#include <gtest/gtest.h>

#include "core/base/Diagnostics.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(Messages, aDialogOpenedWithinAnAction_showsWhatItsActionsSayWhileItIsOpen_thenTheActionCollectsAgain)
{
    Messages messages;
    MessageRecorder recorder;
    recorder.install(messages);
    messages.setTextSource([](const std::string& key) { return key + " text"; });
    {
        MessageBatch command(messages); // the menu command that opens the dialog
        messages.show("Err002");
        {
            DialogMessages dialog(messages);
            // What the command said before the dialog opened comes first.
            ASSERT_EQ(recorder.keys(), std::vector<std::string>{"Err002"});
            {
                MessageBatch okButton(messages);
                messages.show("Msg007");
                messages.show("Msg007");
            }
            EXPECT_EQ(recorder.keys(), (std::vector<std::string>{"Err002", "Msg007"}));
            messages.show("Err009", MsgButtons::Ok, "/conf");
            EXPECT_EQ(recorder.keys(), (std::vector<std::string>{"Err002", "Msg007", "Err009"}));
            EXPECT_EQ(recorder.shown.back().text, "Err009 text : /conf");
        }
        // Closed: the command collects again until it ends.
        messages.show("Err004");
        messages.show("Err005");
        EXPECT_EQ(recorder.shown.size(), 3u);
    }
    ASSERT_EQ(recorder.shown.size(), 4u);
    EXPECT_EQ(recorder.shown.back().text, "Err004 text\nErr005 text");
}

TEST(Messages, withNoHook_aMessageGoesToTheDiagnosticsWithItsKey_andTheAnswerChangesNothing)
{
    std::vector<std::string> lines;
    setDiagnosticsSink([&](std::string_view line) { lines.emplace_back(line); });
    Messages messages;
    messages.setTextSource([](const std::string& key) { return key + " text"; });
    const MsgAnswer answer = messages.show("Msg002", MsgButtons::YesNoCancel, "/a");
    messages.showText("Built in");
    setDiagnosticsSink({});
    EXPECT_EQ(answer, MsgAnswer::Cancel);
    EXPECT_EQ(lines, (std::vector<std::string>{"Msg002: Msg002 text : /a", "Built in"}));
}

} // namespace
} // namespace quillory::test
