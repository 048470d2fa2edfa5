#include "core/catalog_window/PopupMenu.h"

namespace quillory {

void PopupMenuModel::fillPopupMenu(PopupContext context, const CommandStates& states, const CaptionOf& captionOf)
{
    visible_.fill(true);
    int n = 0;
    auto place = [&](const std::string& text) {
        if (n < kItemCount)
            captions_[static_cast<size_t>(n)] = text;
        ++n;
    };
    auto captionOfCommand = [&](Command command) { return captionOf(std::string(commandRow(command).captionKey)); };
    auto placeIf = [&](Command command) {
        if (states.isEnabled(command))
            place(captionOfCommand(command));
    };
    auto placeReferenceTools = [&]() {
        placeIf(Command::CheckCatalog);
        placeIf(Command::RepairReferences);
        placeIf(Command::UndoSync);
    };

    // The tail shared by the list contexts: search with the catalog's check, repair and undo, and
    // clipboard import, each set off by a separator, without a separator left dangling at the end.
    auto searchAndClipboard = [&]() {
        const int s = n;
        if (n > 0)
            place("-");
        placeIf(Command::Search);
        placeReferenceTools();
        const int t = n;
        if (n > s)
            place("-");
        placeIf(Command::ClipDataIn);
        if (t == n - 1)
            --n;
    };

    switch (context) {
    case PopupContext::FolderNode: {
        placeIf(Command::AddChild);
        placeIf(Command::AddRoot);
        placeIf(Command::UpdateFolder);
        placeIf(Command::DeleteFolder);
        if (states.isEnabled(Command::FolderProperty)) {
            place(captionOfCommand(Command::FolderProperty));
            place("-");
            place(captionOfCommand(Command::RenameFolder));
        }
        const int s = n;
        if (n > 0)
            place("-");
        placeIf(Command::AddIndex);
        const int u = n;
        if (n > s)
            place("-");
        if (s == u - 1)
            --n;
        placeIf(Command::Search);
        placeReferenceTools();
        placeIf(Command::ClipDataIn);
        break;
    }
    case PopupContext::TreeSpace: {
        placeIf(Command::AddRoot);
        if (n > 0)
            place("-");
        int s = n;
        placeIf(Command::Search);
        placeReferenceTools();
        if (n > s) {
            s = n;
            place("-");
        }
        placeIf(Command::ClipDataIn);
        if (s == n - 1)
            --n;
        break;
    }
    case PopupContext::ListSpace:
        placeIf(Command::AddIndex);
        searchAndClipboard();
        break;
    case PopupContext::IndexRow:
        placeIf(Command::OpenIndex);
        placeIf(Command::AddIndex);
        placeIf(Command::UpdateIndex);
        placeIf(Command::DeleteIndex);
        placeIf(Command::IndexProperty);
        searchAndClipboard();
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

std::optional<Command> PopupMenuModel::commandAt(int index, const CaptionOf& captionOf) const
{
    if (index < 0 || index >= kItemCount)
        return std::nullopt;
    const std::string& text = caption(index);
    for (const Command command : popupDispatchOrder()) {
        if (captionOf(std::string(commandRow(command).captionKey)) == text)
            return command;
    }
    return std::nullopt;
}

} // namespace quillory
