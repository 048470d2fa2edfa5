#include "core/catalog_window/PopupMenu.h"

#include <utility>
#include <vector>

namespace quillory {

void PopupMenuModel::fillPopupMenu(int16_t context, const CommandStates& states, const CaptionOf& captionOf)
{
    visible_.fill(true);
    int n = 0;
    auto place = [&](const std::string& text) {
        if (n < kItemCount)
            captions_[static_cast<size_t>(n)] = text;
        ++n;
    };
    auto placeIf = [&](Command command, const char* key) {
        if (states.isEnabled(command))
            place(captionOf(key));
    };

    // The tail shared by the list contexts: search and clipboard import, each set off by a
    // separator, without a separator left dangling at the end.
    auto searchAndClipboard = [&]() {
        const int s = n;
        if (n > 0)
            place("-");
        placeIf(Command::Search, "SSearch");
        const int t = n;
        if (n > s)
            place("-");
        placeIf(Command::ClipDataIn, "ClipDataIn");
        if (t == n - 1)
            --n;
    };

    switch (context) {
    case 1: {
        placeIf(Command::AddChild, "DAddChild");
        placeIf(Command::AddRoot, "DAddRoot");
        placeIf(Command::UpdateFolder, "DUpdate");
        placeIf(Command::DeleteFolder, "DDelete");
        if (states.isEnabled(Command::FolderProperty)) {
            place(captionOf("DProperty"));
            place("-");
            place(captionOf("DRename"));
        }
        const int s = n;
        if (n > 0)
            place("-");
        placeIf(Command::AddIndex, "CAddFile");
        const int u = n;
        if (n > s)
            place("-");
        if (s == u - 1)
            --n;
        placeIf(Command::Search, "SSearch");
        placeIf(Command::ClipDataIn, "ClipDataIn");
        break;
    }
    case 2: {
        placeIf(Command::AddRoot, "DAddRoot");
        if (n > 0)
            place("-");
        int s = n;
        placeIf(Command::Search, "SSearch");
        if (n > s) {
            s = n;
            place("-");
        }
        placeIf(Command::ClipDataIn, "ClipDataIn");
        if (s == n - 1)
            --n;
        break;
    }
    case 3:
        placeIf(Command::AddIndex, "CAddFile");
        searchAndClipboard();
        break;
    case 4:
        placeIf(Command::OpenIndex, "COpenFile");
        placeIf(Command::AddIndex, "CAddFile");
        placeIf(Command::UpdateIndex, "CUpdate");
        placeIf(Command::DeleteIndex, "CDelete");
        placeIf(Command::IndexProperty, "CProperty");
        searchAndClipboard();
        break;
    default:
        break;
    }
    if (n < 1)
        return;
    for (int i = kItemCount - 1; i >= n; --i)
        visible_[static_cast<size_t>(i)] = false;
}

int PopupMenuModel::visibleCount() const
{
    int count = 0;
    for (const bool v : visible_)
        count += v;
    return count;
}

std::optional<PopupCommand> PopupMenuModel::commandAt(int index, const CaptionOf& captionOf) const
{
    if (index < 0 || index >= kItemCount)
        return std::nullopt;
    static const std::vector<std::pair<const char*, PopupCommand>> order = {
        {"CAddFile", PopupCommand::AddIndex},       {"CDelete", PopupCommand::DeleteIndex},
        {"ClipDataIn", PopupCommand::ClipDataIn},   {"COpenFile", PopupCommand::OpenIndex},
        {"CProperty", PopupCommand::IndexProperty}, {"CUpdate", PopupCommand::UpdateIndex},
        {"DAddChild", PopupCommand::AddChild},      {"DAddRoot", PopupCommand::AddRoot},
        {"DDelete", PopupCommand::DeleteFolder},    {"DProperty", PopupCommand::FolderProperty},
        {"DUpdate", PopupCommand::UpdateFolder},    {"ExitStr", PopupCommand::Exit},
        {"SSearch", PopupCommand::Search},          {"DRename", PopupCommand::RenameFolder},
    };
    const std::string& text = caption(index);
    for (const auto& [key, command] : order) {
        if (captionOf(key) == text)
            return command;
    }
    return std::nullopt;
}

} // namespace quillory
