#include "core/catalog_window/clipboard/RtfWriter.h"

#include <algorithm>
#include <cmath>

#include "core/store/TextMatch.h"

namespace quillory {
namespace {

// Index of value in table, added when missing.
template <class T>
size_t indexIn(std::vector<T>& table, const T& value)
{
    const auto found = std::find(table.begin(), table.end(), value);
    if (found != table.end())
        return static_cast<size_t>(found - table.begin());
    table.push_back(value);
    return table.size() - 1;
}

// The byte of the Windows-1252 code page (the document's) for a character, or 0 when it has none.
unsigned char cp1252Byte(char32_t cp)
{
    if (cp >= 0xA0 && cp <= 0xFF)
        return static_cast<unsigned char>(cp);
    static constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp && cp != 0)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

// Text as RTF: its control characters escaped, a line break as \line, a tab as \tab, a
// character of the code page as \'xx, and any other as \uN (signed 16-bit; above U+FFFF two
// surrogates) followed by "?" written as \'3f for readers that cannot show it.
void appendEscaped(std::string& out, const std::string& text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    auto hexByte = [&out](unsigned char byte) {
        out += "\\'";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    };
    auto unicode = [&](int32_t unit) {
        if (unit > 32767)
            unit -= 65536;
        out += "\\u" + std::to_string(unit);
        hexByte('?');
    };
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            ++i;
            switch (byte) {
            case '\\': out += "\\\\"; break;
            case '{': out += "\\{"; break;
            case '}': out += "\\}"; break;
            case '\n': out += "\\line "; break;
            case '\t': out += "\\tab "; break;
            case '\r': break;
            default:
                if (byte >= 0x20)
                    out += static_cast<char>(byte);
            }
            continue;
        }
        char32_t cp = decodeUtf8(text, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF)
            cp = 0xFFFD; // a byte that is not UTF-8
        if (const unsigned char local = cp1252Byte(cp)) {
            hexByte(local);
        } else if (cp > 0xFFFF) {
            const char32_t v = cp - 0x10000;
            unicode(static_cast<int32_t>(0xD800 + (v >> 10)));
            unicode(static_cast<int32_t>(0xDC00 + (v & 0x3FF)));
        } else {
            unicode(static_cast<int32_t>(cp));
        }
    }
}

std::string colorEntry(uint32_t rgb)
{
    return "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) + "\\blue"
           + std::to_string(rgb & 0xFF) + ";";
}

} // namespace

std::vector<RichTextParagraph> plainParagraphs(const std::string& text)
{
    std::vector<RichTextParagraph> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            if (paragraphs.back().runs.empty())
                paragraphs.back().runs.emplace_back();
            paragraphs.back().runs.back().text += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        paragraphs.emplace_back();
    }
    return paragraphs;
}

std::string writeRtf(const std::vector<RichTextParagraph>& paragraphs)
{
    // Font 0 is the document's; colour 0 the automatic one.
    std::vector<std::string> fonts{"Helvetica"};
    std::vector<uint32_t> colors;
    for (const auto& paragraph : paragraphs) {
        for (const auto& run : paragraph.runs) {
            if (!run.fontFamily.empty())
                indexIn(fonts, run.fontFamily);
            if (run.color)
                indexIn(colors, *run.color);
            if (run.background)
                indexIn(colors, *run.background);
        }
    }

    std::string body;
    for (const auto& paragraph : paragraphs) {
        // Paragraphs are separated, the last one ends the document: a reader adds no empty line.
        if (&paragraph != &paragraphs.front())
            body += "\\par\n";
        body += "\\pard";
        switch (paragraph.align) {
        case RichTextParagraph::Align::Center: body += "\\qc"; break;
        case RichTextParagraph::Align::Right: body += "\\qr"; break;
        case RichTextParagraph::Align::Justify: body += "\\qj"; break;
        case RichTextParagraph::Align::Left: body += "\\ql"; break;
        }
        if (paragraph.indentLevel > 0)
            body += "\\li" + std::to_string(720 * paragraph.indentLevel);
        body += ' ';
        // A list's bullet is the paragraph's number text, not text of its own.
        if (paragraph.listItem)
            body += "{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\bullet}}";
        for (const auto& run : paragraph.runs) {
            body += '{';
            const size_t controls = body.size();
            if (!run.fontFamily.empty())
                body += "\\f" + std::to_string(indexIn(fonts, run.fontFamily));
            if (run.pointSize > 0)
                body += "\\fs" + std::to_string(static_cast<int>(std::lround(run.pointSize * 2)));
            if (run.bold)
                body += "\\b";
            if (run.italic)
                body += "\\i";
            if (run.underline)
                body += "\\ul";
            if (run.strikeOut)
                body += "\\strike";
            if (run.color)
                body += "\\cf" + std::to_string(indexIn(colors, *run.color) + 1);
            if (run.background)
                body += "\\highlight" + std::to_string(indexIn(colors, *run.background) + 1);
            // The space ends the last control word; without one it would be text of the run.
            if (body.size() > controls)
                body += ' ';
            appendEscaped(body, run.text);
            body += '}';
        }
    }
    if (!paragraphs.empty())
        body += '\n';

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (const uint32_t rgb : colors)
        out += colorEntry(rgb);
    out += "}\n\\fs24\n";
    out += body;
    out += "}\n";
    return out;
}

} // namespace quillory
