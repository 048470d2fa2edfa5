#include "ui/catalog_window/panels/RichTextExport.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace quillory {

namespace {

std::optional<uint32_t> rgbOf(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return std::nullopt;
    return static_cast<uint32_t>(brush.color().rgb() & 0xFFFFFF);
}

RichTextParagraph::Align alignOf(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return RichTextParagraph::Align::Center;
    if (alignment & Qt::AlignRight)
        return RichTextParagraph::Align::Right;
    if (alignment & Qt::AlignJustify)
        return RichTextParagraph::Align::Justify;
    return RichTextParagraph::Align::Left;
}

} // namespace

std::vector<RichTextParagraph> paragraphsOf(const QTextDocument& document)
{
    std::vector<RichTextParagraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        RichTextParagraph paragraph;
        const QTextBlockFormat format = block.blockFormat();
        paragraph.align = alignOf(format.alignment());
        paragraph.indentLevel = format.indent() + (block.textList() ? block.textList()->format().indent() - 1 : 0);
        paragraph.listItem = block.textList() != nullptr;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat chars = fragment.charFormat();
            RichTextRun run;
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            text.replace(QChar::ObjectReplacementCharacter, QString()); // pictures stay behind
            run.text = text.toStdString();
            run.bold = chars.fontWeight() >= QFont::DemiBold;
            run.italic = chars.fontItalic();
            run.underline = chars.fontUnderline();
            run.strikeOut = chars.fontStrikeOut();
            const QStringList families = chars.fontFamilies().toStringList();
            if (!families.isEmpty())
                run.fontFamily = families.front().toStdString();
            run.pointSize = chars.fontPointSize();
            run.color = rgbOf(chars.foreground());
            run.background = rgbOf(chars.background());
            paragraph.runs.push_back(std::move(run));
        }
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

} // namespace quillory
