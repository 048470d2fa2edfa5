#include "ui/catalog_window/panels/EditorFields.h"

#include <QLineEdit>
#include <QTextEdit>

namespace quillory {

namespace {
// The start of text, at most limit UTF-16 units, not cutting a character in two.
QString startOf(const std::string& text, int limit)
{
    QString shown = QString::fromStdString(text);
    if (shown.size() > limit) {
        shown.truncate(limit);
        if (!shown.isEmpty() && shown.back().isHighSurrogate())
            shown.chop(1);
    }
    return shown;
}
} // namespace

void showInEditor(QLineEdit* editor, const std::string& text)
{
    editor->setText(startOf(text, kMaxEditedLine));
    editor->setModified(false);
    editor->setCursorPosition(0);
}

void showInEditor(QTextEdit* editor, const std::string& text)
{
    editor->setPlainText(startOf(text, kMaxEditedText));
    editor->document()->setModified(false);
}

std::string fromEditor(const QLineEdit* editor, const std::string& stored)
{
    return editor->isModified() ? editor->text().toStdString() : stored;
}

std::string fromEditor(const QTextEdit* editor, const std::string& stored)
{
    return editor->document()->isModified() ? editor->toPlainText().toStdString() : stored;
}

} // namespace quillory
