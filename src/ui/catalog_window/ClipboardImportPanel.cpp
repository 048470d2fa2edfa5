#include "ui/catalog_window/ClipboardImportPanel.h"

namespace quillory {

ClipboardImportPanel::ClipboardImportPanel(QWidget* parent) : PanelFrame(QStringLiteral("Frame4"), parent) {}

} // namespace quillory
