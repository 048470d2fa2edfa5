#pragma once

class QMimeData;

namespace quillory {

// The system clipboard as the clipboard import reads it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // What the clipboard holds now; null or empty when it holds nothing.
    virtual const QMimeData* content() const = 0;
    // Puts data on the clipboard, which takes it over.
    virtual void setContent(QMimeData* data) = 0;
};

} // namespace quillory
