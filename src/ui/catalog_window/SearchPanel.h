#pragma once

#include "ui/catalog_window/PanelFrame.h"

namespace quillory {

// Panel Frame3, the search. It finds indexes by title, description and document text in the current
// folder, its subtree or the whole catalog.
class SearchPanel : public PanelFrame {
public:
    explicit SearchPanel(QWidget* parent);
};

} // namespace quillory
