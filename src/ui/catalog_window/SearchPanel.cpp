#include "ui/catalog_window/SearchPanel.h"

namespace quillory {

SearchPanel::SearchPanel(QWidget* parent) : PanelFrame(QStringLiteral("Frame3"), parent) {}

} // namespace quillory
