#pragma once

class QWidget;

namespace quillory {

class Messages;

// Shows the core's messages in message boxes. parentOf gives the window to centre them over
// (it may be null).
void installMessageBoxes(Messages& messages, QWidget* (*parentOf)());

} // namespace quillory
