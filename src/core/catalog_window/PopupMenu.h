#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/catalog_window/CommandStates.h"

namespace quillory {

// Where the context menu was asked for.
// A folder of the tree, the tree's empty space, the list's empty space, an index of the list.
enum class PopupContext { FolderNode, TreeSpace, ListSpace, IndexRow };

// The context menu's nineteen entries: filled with the captions of the commands that suit the
// place of the click and are on, separated by "-", and recognised again by their caption when
// one is chosen.
class PopupMenuModel {
public:
    static constexpr int kItemCount = 19;
    using CaptionOf = std::function<std::string(const std::string& key)>;

    void fillPopupMenu(PopupContext context, const CommandStates& states, const CaptionOf& captionOf);

    const std::string& caption(int index) const { return captions_[static_cast<size_t>(index)]; }
    bool isVisible(int index) const { return visible_[static_cast<size_t>(index)]; }
    int visibleCount() const;

    // The command whose configured caption equals the caption of entry index; the first in the
    // command table's context-menu order wins when two captions are equal. None for a separator
    // or a stale caption.
    std::optional<Command> commandAt(int index, const CaptionOf& captionOf) const;

private:
    std::array<std::string, kItemCount> captions_{};
    std::array<bool, kItemCount> visible_{};
};

} // namespace quillory
