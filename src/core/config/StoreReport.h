#pragma once

#include <string>

#include "core/store/SafeFile.h"
#include "core/store/StoreOutcome.h"

namespace quillory {

class Messages;

// How the store's outcomes reach the user: the caller, inside the user's action, hands them over
// here, and they are shown as one message with whatever else the action tells.

// Shows a failed outcome's message and the notices of any outcome; returns whether it succeeded.
bool report(Messages& messages, const StoreOutcome& outcome);
// Shows the problems as one message; nothing when there are none.
void report(Messages& messages, const StoreProblems& problems);

// A write of one text file as the user is told of it: Err009 when its folder is missing, Err014
// for any other failure, with the path and the reason.
StoreOutcome fileWriteOutcome(const WriteOutcome& written, const std::string& path);

} // namespace quillory
