#pragma once

#include "ui/catalog_window/PanelFrame.h"

namespace quillory {

// Panel Frame4, the clipboard import. It turns what the clipboard holds into a file, and that file
// into an index.
class ClipboardImportPanel : public PanelFrame {
public:
    explicit ClipboardImportPanel(QWidget* parent);
};

} // namespace quillory
