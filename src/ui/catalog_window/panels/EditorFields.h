#pragma once

#include <QString>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace quillory {

class SysConf;

// Editors show a stored text whole as long as they stay quick with it: a line editor lays out its
// whole line at every key, a plain-text editor only the lines in view, each line as a whole. A
// longer text is shown in part, read-only, with a note of its whole length; either way it is kept
// whole unless the user changes it, never cut.
inline constexpr qsizetype kMaxEditedLine = 200'000;      // characters in a line editor
inline constexpr qsizetype kMaxEditedParagraph = 200'000; // the longest line in a plain-text editor
inline constexpr qsizetype kMaxEditedText = 32'000'000;   // all of a plain-text editor

void showInEditor(QLineEdit* editor, const std::string& text, const SysConf& conf);
void showInEditor(QPlainTextEdit* editor, const std::string& text, const SysConf& conf);
void showInEditor(QPlainTextEdit* editor, const QString& text, const SysConf& conf);
// Whether the editor shows its text in part (and is read-only for that).
bool isShownInPart(const QWidget* editor);
// The text to store: what the user made of the field, or stored when the field is untouched.
std::string fromEditor(const QLineEdit* editor, const std::string& stored);
std::string fromEditor(const QPlainTextEdit* editor, const std::string& stored);

} // namespace quillory
