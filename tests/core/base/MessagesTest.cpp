// One message per user action, and a dialog's own actions while it is open.
#include <gtest/gtest.h>

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

} // namespace
} // namespace quillory::test
