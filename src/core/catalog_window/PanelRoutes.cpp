#include "core/catalog_window/PanelRoutes.h"

namespace quillory {

FolderEditorMode folderEditorModeFor(Command command)
{
    switch (command) {
    case Command::AddRoot: return FolderEditorMode::AddTopLevel;
    case Command::AddChild: return FolderEditorMode::AddChild;
    default: return FolderEditorMode::ViewAndUpdate;
    }
}

std::optional<IndexEditorMode> indexEditorModeFor(const std::string& currentDirId, const std::string& currentContentId)
{
    if (currentDirId.empty())
        return std::nullopt;
    return currentContentId.empty() ? IndexEditorMode::Add : IndexEditorMode::Edit;
}

} // namespace quillory
