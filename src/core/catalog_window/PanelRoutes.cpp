#include "core/catalog_window/PanelRoutes.h"

namespace quillory {

std::optional<Panel> panelForCommand(Command command)
{
    switch (command) {
    case Command::AddRoot:
    case Command::AddChild:
    case Command::UpdateFolder:
    case Command::FolderProperty:
    case Command::DeleteFolder:
        return Panel::FolderEditor;
    case Command::AddIndex:
    case Command::UpdateIndex:
    case Command::IndexProperty:
        return Panel::IndexEditor;
    case Command::Search:
        return Panel::Search;
    case Command::ClipDataIn:
        return Panel::ClipboardImport;
    default:
        return std::nullopt;
    }
}

FolderEditorMode folderEditorModeFor(Command command)
{
    switch (command) {
    case Command::AddRoot:
        return FolderEditorMode::AddTopLevel;
    case Command::AddChild:
        return FolderEditorMode::AddChild;
    default:
        return FolderEditorMode::ViewAndUpdate;
    }
}

std::optional<IndexEditorMode> indexEditorModeFor(const std::string& currentDirId, const std::string& currentContentId)
{
    if (currentDirId.empty())
        return std::nullopt;
    return currentContentId.empty() ? IndexEditorMode::Add : IndexEditorMode::Edit;
}

} // namespace quillory
