#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/shell/CommandTable.h"

namespace quillory {

// The four editing panels of the catalog window.
enum class Panel { FolderEditor, IndexEditor, Search, ClipboardImport };
inline constexpr Panel kPanels[] = {Panel::FolderEditor, Panel::IndexEditor, Panel::Search, Panel::ClipboardImport};

// The folder editor shows the current folder to change it, or takes a new folder under the
// current one or at the top level.
enum class FolderEditorMode { ViewAndUpdate, AddChild, AddTopLevel };
// The index editor takes a new index for the current folder, or changes the current index.
enum class IndexEditorMode { Add, Edit };

// The mode the folder editor opens in for a command that opens it.
FolderEditorMode folderEditorModeFor(Command command);
// The index editor needs a current folder; it edits the current index when there is one.
std::optional<IndexEditorMode> indexEditorModeFor(const std::string& currentDirId, const std::string& currentContentId);

} // namespace quillory
