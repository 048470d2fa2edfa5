#include "ui/catalog_window/IndexEditorPanel.h"

namespace quillory {

IndexEditorPanel::IndexEditorPanel(QWidget* parent) : PanelFrame(QStringLiteral("Frame2"), parent) {}

void IndexEditorPanel::open(IndexEditorMode mode)
{
    mode_ = mode;
}

} // namespace quillory
