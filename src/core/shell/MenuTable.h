#pragma once

#include <string_view>
#include <vector>

namespace quillory {

// One entry of the frame's menu bar, in the order entries stand. A separator has captionKey
// "-". Captions come from the configuration by captionKey; designText shows until they are set.
struct MenuEntry {
    std::string_view name;
    std::string_view parent; // "" for a menu on the bar
    std::string_view captionKey;
    std::string_view shortcut; // in Qt's key sequence notation, "" for none
    std::string_view designText;
};

const std::vector<MenuEntry>& menuTable();

// The menus on the bar with no catalog open, and with one.
const std::vector<std::string_view>& noCatalogMenus();
const std::vector<std::string_view>& catalogMenus();

} // namespace quillory
