#pragma once

#include <string>

class QLineEdit;
class QTextEdit;

namespace quillory {

// Editors show at most this much of a stored text: a box laid out with megabytes of text would
// freeze the window. A field the user leaves untouched keeps its whole stored value.
inline constexpr int kMaxEditedLine = 4096; // the longest path Linux takes
inline constexpr int kMaxEditedText = 20000;

void showInEditor(QLineEdit* editor, const std::string& text);
void showInEditor(QTextEdit* editor, const std::string& text);
// The text to store: what the user made of the field, or stored when the field is untouched.
std::string fromEditor(const QLineEdit* editor, const std::string& stored);
std::string fromEditor(const QTextEdit* editor, const std::string& stored);

} // namespace quillory
