#pragma once

#include <vector>

#include "core/catalog_window/clipboard/RtfWriter.h"

class QTextDocument;

namespace quillory {

// The paragraphs and character formats of a text document, as the RTF writer takes them.
std::vector<RichTextParagraph> paragraphsOf(const QTextDocument& document);

} // namespace quillory
