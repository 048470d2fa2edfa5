#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillory {

// Formatted text as the clipboard import saves it: paragraphs of runs, each run one format.
struct RichTextRun {
    std::string text; // UTF-8; a line break inside a paragraph is "\n"
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string fontFamily;        // "" for the document's font
    double pointSize = 0;          // 0 for the document's size
    std::optional<uint32_t> color; // 0xRRGGBB
    std::optional<uint32_t> background;
};

struct RichTextParagraph {
    enum class Align { Left, Center, Right, Justify };
    Align align = Align::Left;
    int indentLevel = 0; // steps of half an inch
    bool listItem = false;
    std::vector<RichTextRun> runs;
};

// Plain text as paragraphs of one run each, one paragraph per line (CR LF, LF or CR ending it).
std::vector<RichTextParagraph> plainParagraphs(const std::string& text);

// The paragraphs as a Rich Text Format document that word processors open with their
// formatting: fonts and colours in tables, characters outside ASCII as \u escapes.
std::string writeRtf(const std::vector<RichTextParagraph>& paragraphs);

} // namespace quillory
