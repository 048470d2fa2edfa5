#pragma once

#include "core/catalog_window/PanelRoutes.h"
#include "ui/catalog_window/PanelFrame.h"

namespace quillory {

// Panel Frame2, the index editor. It takes a new index for the current folder, or changes or deletes
// the current index.
class IndexEditorPanel : public PanelFrame {
public:
    explicit IndexEditorPanel(QWidget* parent);
    // Prepares the panel for mode; the catalog window shows it.
    void open(IndexEditorMode mode);
    IndexEditorMode mode() const { return mode_; }

private:
    IndexEditorMode mode_{};
};

} // namespace quillory
