#pragma once

#include "core/catalog_window/PanelRoutes.h"
#include "ui/catalog_window/PanelFrame.h"

namespace quillory {

// Panel Frame1, the folder editor. It shows the current folder to change or delete it, or takes a new
// folder under the current one or at the top level.
class FolderEditorPanel : public PanelFrame {
public:
    explicit FolderEditorPanel(QWidget* parent);
    // Prepares the panel for mode; the catalog window shows it.
    void open(FolderEditorMode mode);
    FolderEditorMode mode() const { return mode_; }

private:
    FolderEditorMode mode_{};
};

} // namespace quillory
