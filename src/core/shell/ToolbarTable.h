#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillory {

// One button of the frame's toolbar. Each has three looks, each an image file named after
// imageBase with "-N" (normal), "-H" (pointer over it) or "-D" (disabled). commandKey is what
// the catalog window's dispatch runs; "" for the two buttons of the frame itself (New, Open).
// catalogButton: shown while a catalog is open (else New and Open show).
struct ToolButtonEntry {
    std::string_view name;
    int hoverCode;
    std::string_view imageBase;
    std::string_view commandKey;
    std::string_view tooltipKey;
    bool catalogButton;
    bool followsSelection; // enabled and disabled with the selection
};

const std::vector<ToolButtonEntry>& toolbarTable();

// A button's tooltip: its command caption up to the first "(" (where the keyboard hint starts).
std::string toolTipFromCaption(std::string_view caption);

} // namespace quillory
