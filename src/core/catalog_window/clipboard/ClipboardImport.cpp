#include "core/catalog_window/clipboard/ClipboardImport.h"

#include <algorithm>
#include <utility>

#include "core/base/Messages.h"
#include "core/config/StoreReport.h"
#include "core/store/StoreOutcome.h"
#include "core/store/TextConvert.h"
#include "core/store/TextFiles.h"
#include "core/store/TextMatch.h"

namespace quillory {
ClipFormat chooseClipFormat(const ClipboardOffer& offer)
{
    if (!offer.localFiles.empty())
        return ClipFormat::FileDrop;
    if (offer.hasImage)
        return ClipFormat::Bitmap;
    if (offer.hasText)
        return ClipFormat::Text;
    return ClipFormat::None;
}

bool isClipboardWebAddress(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.find_first_of(" \t\r\n") != std::string_view::npos)
        return false;
    return startsWithIgnoringAsciiCase(text, "http://") || startsWithIgnoringAsciiCase(text, "https://");
}

std::optional<std::string> singleCopiedFile(const std::vector<std::string>& files, FileIo& io)
{
    if (files.size() != 1)
        return std::nullopt;
    struct stat info {};
    if (io.stat(files.front().c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return files.front();
}

bool hasTextToSave(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

bool saveClipboardText(TextFiles& files, Messages& messages, const std::string& path, const std::string& text,
                       bool append)
{
    if (!hasTextToSave(text))
        return true;
    // One line per line of the text, whether it ended in CR LF, LF or CR.
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return report(messages,
                  fileWriteOutcome(files.writeFile(path, append ? FILE_APPEND : FILE_OUTPUT, 0, lines), path));
}

bool saveClipboardBytes(TextFiles& files, Messages& messages, const std::string& path, std::string_view bytes)
{
    const WriteOutcome written = files.writeFile(path, FILE_BINARY, 0, {std::string(bytes)});
    if (written)
        return true;
    StoreOutcome failure = StoreOutcome::failure("Err018", path, written.reason());
    messages.show("Err018", MsgButtons::Ok, failure.detail());
    return false;
}

namespace {
bool isEmptyElement(std::string_view name)
{
    static constexpr std::string_view kEmpty[] = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                                  "input", "link", "meta", "param", "source", "track", "wbr"};
    for (const std::string_view empty : kEmpty) {
        if (name.size() == empty.size() && startsWithIgnoringAsciiCase(name, empty))
            return true;
    }
    return false;
}
} // namespace

int htmlNestingDepth(std::string_view html, int stopAt)
{
    int depth = 0;
    int deepest = 0;
    for (size_t at = html.find('<'); at != std::string_view::npos && deepest < stopAt; at = html.find('<', at + 1)) {
        const size_t end = html.find('>', at);
        if (end == std::string_view::npos)
            break;
        const std::string_view tag = html.substr(at + 1, end - at - 1);
        if (tag.empty() || tag[0] == '!' || tag[0] == '?') {
            // A comment or a declaration; a comment ends at its own "-->".
            if (tag.starts_with("!--")) {
                const size_t close = html.find("-->", at + 4);
                if (close == std::string_view::npos)
                    break;
                at = close;
            } else {
                at = end;
            }
            continue;
        }
        if (tag[0] == '/') {
            depth = std::max(0, depth - 1);
        } else if (tag.back() != '/' && !isEmptyElement(tag.substr(0, tag.find_first_of(" \t\r\n")))) {
            deepest = std::max(deepest, ++depth);
        }
        at = end;
    }
    return deepest;
}

namespace {

// The character a reference such as "amp", "nbsp" or "#x41" stands for; 0 when unknown.
char32_t referencedCharacter(std::string_view name)
{
    if (name.starts_with('#')) {
        const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return 0;
        char32_t cp = 0;
        for (const char c : digits) {
            const int digit = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0)
                return 0;
            cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        return cp;
    }
    static constexpr std::pair<std::string_view, char32_t> kNamed[] = {{"amp", '&'},  {"lt", '<'},    {"gt", '>'},
                                                                       {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    for (const auto& [known, cp] : kNamed) {
        if (name == known)
            return cp;
    }
    return 0;
}

// The lower-case name of a tag ("p" for "<P class=x>", "/p" for "</p>").
std::string tagName(std::string_view tag)
{
    std::string name(tag.substr(0, tag.find_first_of(" \t\r\n/>", tag.starts_with('/') ? 1 : 0)));
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return name;
}

bool endsABlock(const std::string& name)
{
    static constexpr std::string_view kBlocks[] = {"br",  "/p",  "/div", "/li",  "/tr",         "/h1",    "/h2", "/h3",
                                                   "/h4", "/h5", "/h6",  "/pre", "/blockquote", "/table", "hr"};
    for (const std::string_view block : kBlocks) {
        if (name == block)
            return true;
    }
    return false;
}
} // namespace

std::string htmlAsPlainText(std::string_view html)
{
    std::string text;
    text.reserve(html.size() / 2);
    for (size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i).starts_with("<!--")) {
                const size_t close = html.find("-->", i + 4);
                i = close == std::string_view::npos ? html.size() : close + 3;
                continue;
            }
            const size_t end = html.find('>', i);
            if (end == std::string_view::npos)
                break;
            const std::string name = tagName(html.substr(i + 1, end - i - 1));
            i = end + 1;
            if (name == "script" || name == "style") {
                const size_t close = html.find("</", i);
                const size_t after = close == std::string_view::npos ? std::string_view::npos : html.find('>', close);
                i = after == std::string_view::npos ? html.size() : after + 1;
            } else if (name == "br" || (endsABlock(name) && !text.empty() && text.back() != '\n')) {
                // Blocks that end together (nested ones, a table after its last row) end one line.
                text += '\n';
            } else if (name == "/td" || name == "/th") {
                text += '\t';
            }
            continue;
        }
        if (c == '&') {
            const size_t semicolon = html.find(';', i);
            if (semicolon != std::string_view::npos && semicolon - i <= 10) {
                if (char32_t cp = referencedCharacter(html.substr(i + 1, semicolon - i - 1))) {
                    // A reference to no character (a surrogate, beyond Unicode) reads as the
                    // replacement character.
                    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                        cp = 0xFFFD;
                    appendUtf8(text, cp);
                    i = semicolon + 1;
                    continue;
                }
            }
        }
        // Blanks and line breaks in the source are one space, as a browser shows them.
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!text.empty() && text.back() != ' ' && text.back() != '\n' && text.back() != '\t')
                text += ' ';
        } else {
            text += c;
        }
        ++i;
    }
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

bool isQuickToLayOut(std::string_view html)
{
    return html.size() <= kMaxLaidOutHtmlBytes
           && htmlNestingDepth(html, kMaxLaidOutHtmlDepth + 1) <= kMaxLaidOutHtmlDepth;
}

} // namespace quillory
