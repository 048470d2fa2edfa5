#include "core/catalog_window/DisplayText.h"

namespace quillory {

std::string shownText(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    size_t cut = maxBytes;
    // Not inside a character: UTF-8 continuation bytes are 10xxxxxx.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(text.substr(0, cut)) + "…";
}

std::string withValues(std::string_view text, const std::vector<std::string>& values)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next == '%') {
            out += '%';
            ++i;
        } else if (text[i] == '%' && next >= '1' && next <= '9') {
            if (const auto number = static_cast<size_t>(next - '1'); number < values.size())
                out += values[number];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace quillory
