#include "ui/catalog_window/panels/EditorFields.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <algorithm>
#include <climits>

#include "core/config/SysConf.h"
#include "ui/platform/QtText.h"

namespace quillory {

namespace {

const char* const kShownInPart = "quilloryShownInPart";

// The start of text, at most limit UTF-16 units, not cutting a character in two.
QString startOf(const QString& text, qsizetype limit)
{
    QString shown = text.left(limit);
    if (shown.size() < text.size() && !shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    return shown;
}

qsizetype longestLine(const QString& text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return std::max(longest, text.size() - start);
}

// The note over the lower right corner of an editor that shows its text in part: it says how
// long the whole text is, and follows the editor's size.
class LengthNote : public QLabel {
public:
    explicit LengthNote(QWidget* editor) : QLabel(editor)
    {
        setObjectName(editor->objectName() + QStringLiteral("_note"));
        setAutoFillBackground(true);
        setFrameShape(QFrame::Box);
        setMargin(2);
        editor->installEventFilter(this);
    }
    void place()
    {
        adjustSize();
        const QWidget* editor = parentWidget();
        move(std::max(0, editor->width() - width() - 4), std::max(0, editor->height() - height() - 4));
        raise();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
            place();
        return false;
    }
};

// Marks editor as showing its text whole, or in part of length characters.
void markShown(QWidget* editor, bool inPart, qsizetype length, const SysConf& conf)
{
    editor->setProperty(kShownInPart, inPart);
    auto* note = static_cast<LengthNote*>(
        editor->findChild<QLabel*>(editor->objectName() + QStringLiteral("_note"), Qt::FindDirectChildrenOnly));
    if (!inPart) {
        if (note)
            note->hide();
        return;
    }
    if (!note)
        note = new LengthNote(editor);
    note->setText(qs(conf.text("MF_FieldShownInPart")) + QStringLiteral(" ") + QLocale().toString(length));
    note->place();
    note->show();
}

} // namespace

void showInEditor(QLineEdit* editor, const std::string& text, const SysConf& conf)
{
    const QString whole = qs(text);
    const bool inPart = whole.size() > kMaxEditedLine;
    editor->setMaxLength(INT_MAX); // by default a line editor keeps 32,767 characters
    editor->setReadOnly(inPart);
    editor->setText(inPart ? startOf(whole, kMaxEditedLine) : whole);
    editor->setModified(false);
    editor->setCursorPosition(0);
    markShown(editor, inPart, whole.size(), conf);
}

void showInEditor(QPlainTextEdit* editor, const QString& text, const SysConf& conf)
{
    const bool inPart = text.size() > kMaxEditedText || longestLine(text) > kMaxEditedParagraph;
    editor->setReadOnly(inPart);
    editor->setPlainText(inPart ? startOf(text, kMaxEditedParagraph) : text);
    editor->document()->setModified(false);
    markShown(editor, inPart, text.size(), conf);
}

void showInEditor(QPlainTextEdit* editor, const std::string& text, const SysConf& conf)
{
    showInEditor(editor, qs(text), conf);
}

bool isShownInPart(const QWidget* editor)
{
    return editor->property(kShownInPart).toBool();
}

std::string fromEditor(const QLineEdit* editor, const std::string& stored)
{
    return editor->isModified() && !isShownInPart(editor) ? editor->text().toStdString() : stored;
}

std::string fromEditor(const QPlainTextEdit* editor, const std::string& stored)
{
    return editor->document()->isModified() && !isShownInPart(editor) ? editor->toPlainText().toStdString() : stored;
}

} // namespace quillory
