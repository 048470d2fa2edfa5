#pragma once

#include "ui/platform/Clipboard.h"

namespace quillory {

// The desktop's clipboard, through Qt.
class QtClipboard : public Clipboard {
public:
    const QMimeData* content() const override;
    void setContent(QMimeData* data) override;
};

} // namespace quillory
