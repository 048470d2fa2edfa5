#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

class Messages;
class fileOpe;

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
std::optional<std::string> singleCopiedFile(const std::vector<std::string>& files);

// Saves clipboard text as a text file, as one line with a line end: new (replacing what the file
// held) or appended. A text of nothing but spaces writes nothing. False when the write failed (the
// message has been shown).
bool saveClipboardText(fileOpe& files, const std::string& path, const std::string& text, bool append);

// Writes bytes (rich text, a picture) as the whole file. False when it could not be written, after
// telling the user (Err018, the file and the reason).
bool saveClipboardBytes(fileOpe& files, Messages& messages, const std::string& path, std::string_view bytes);

} // namespace quillory
