#include "ui/catalog_window/FolderEditorPanel.h"

namespace quillory {

FolderEditorPanel::FolderEditorPanel(QWidget* parent) : PanelFrame(QStringLiteral("Frame1"), parent) {}

void FolderEditorPanel::open(FolderEditorMode mode)
{
    mode_ = mode;
}

} // namespace quillory
