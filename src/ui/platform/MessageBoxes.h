#pragma once

class QWidget;

namespace quillory {

class Messages;

// Shows the core's messages in message boxes. parentOf gives the window to centre them over
// (it may be null).
void installMessageBoxes(Messages& messages, QWidget* (*parentOf)());

// Writes the core's diagnostics through the logging category "quillory.core" (as warnings), so
// that QT_LOGGING_RULES and the program's message handler apply to them.
void installDiagnosticsLog();

} // namespace quillory
