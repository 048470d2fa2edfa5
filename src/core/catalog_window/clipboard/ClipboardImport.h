#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/FileIo.h"

namespace quillory {

class Messages;
class TextFiles;

// The kinds of clipboard content the import tells apart, by their usual numbers.
enum class ClipFormat : int32_t { None = 0, Text = 1, Bitmap = 2, FileDrop = 15 };

// What the clipboard offers, as the import needs to know it.
struct ClipboardOffer {
    std::vector<std::string> localFiles; // when every URL on it is a local file
    bool hasImage = false;
    bool hasText = false;
};

// The content the import shows: copied files before a picture before text. (A file manager puts
// a copied file on the clipboard as its URL and as text; the file is what was meant.)
ClipFormat chooseClipFormat(const ClipboardOffer& offer);

// A web address as the import takes one: a single text without blanks, with its spaces around
// it left out, beginning with "http://" or "https://" in any letter case.
bool isClipboardWebAddress(std::string_view text);

// The file a copied file list stands for: exactly one name, of an existing file (not a folder).
std::optional<std::string> singleCopiedFile(const std::vector<std::string>& files, FileIo& io = defaultFileIo());

// Whether text holds something besides blanks and line breaks: only such a text is worth a file.
bool hasTextToSave(std::string_view text);

// Saves clipboard text as a text file, each of its lines ending in CR LF whatever line ends it came
// with: new (replacing what the file held) or appended. A text of nothing but blanks and line breaks
// writes nothing. False when the write failed, after telling the user (Err009 or Err014).
bool saveClipboardText(TextFiles& files, Messages& messages, const std::string& path, const std::string& text,
                       bool append);

// Writes bytes (rich text, a picture) as the whole file. False when it could not be written, after
// telling the user (Err018, the file and the reason).
bool saveClipboardBytes(TextFiles& files, Messages& messages, const std::string& path, std::string_view bytes);

// Rich text (HTML) larger or more deeply nested than this takes the window seconds to minutes to
// lay out (a table of 200 KB about half a second, of 1 MB three seconds; 5,000 nested elements half
// a second, 476,625 minutes); the import shows and saves such a text as plain text.
inline constexpr size_t kMaxLaidOutHtmlBytes = 200'000;
inline constexpr int kMaxLaidOutHtmlDepth = 1000;
// How deeply the elements of html nest, counted up to stopAt: a tag opens a level unless it closes
// itself or is one of the elements that hold nothing (br, img and the like); its end tag closes it.
int htmlNestingDepth(std::string_view html, int stopAt);
// Whether html is small and shallow enough to be laid out as rich text.
bool isQuickToLayOut(std::string_view html);
// The text of html, read in one pass: tags left out, a line break for each line break and where
// blocks end, a tab after each table cell, character references decoded, scripts and styles
// dropped, no line break at the end.
std::string htmlAsPlainText(std::string_view html);

} // namespace quillory
