#include "core/catalog_window/CommandStates.h"

#include "core/store/RecordIds.h"

namespace quillory {

bool CommandStates::isEnabled(Command command) const
{
    const CommandRow& row = commandRow(command);
    if (row.group == CommandGroup::Launcher)
        return row.launcher && isLauncherEnabled(*row.launcher);
    if ((command == Command::Sync && !syncAvailable_) || (command == Command::UndoSync && !undoSyncAvailable_)
        || (command == Command::RepairReferences && !repairAvailable_))
        return false;
    return isGroupEnabled(row.group);
}

void CommandStates::applyFolderStates(bool folderChosen)
{
    setGroup(CommandGroup::Folder, folderChosen);
    setGroup(CommandGroup::AddIndex, folderChosen);
    setLauncher(LauncherButton::AddIndex, folderChosen);
    setLauncher(LauncherButton::Clipboard, folderChosen);
    setLauncher(LauncherButton::Sync, folderChosen);
    setLauncher(LauncherButton::Search, true);
}

void CommandStates::setCurrentDir(const std::string& id)
{
    currentDirId_ = id;
    applyFolderStates(!id.empty());
    changed();
}

void CommandStates::setCurrentContent(const std::string& id)
{
    currentContentId_ = id;
    if (!id.empty()) {
        currentDirId_ = folderOfIndexId(id);
        applyFolderStates(!currentDirId_.empty());
        setGroup(CommandGroup::Index, true);
        setGroup(CommandGroup::AddIndex, true);
        setLauncher(LauncherButton::AddIndex, true);
    } else {
        setGroup(CommandGroup::Index, false);
        setGroup(CommandGroup::AddIndex, !currentDirId_.empty());
        setLauncher(LauncherButton::AddIndex, !currentDirId_.empty());
    }
    changed();
}

void CommandStates::clearSelection()
{
    currentDirId_.clear();
    currentContentId_.clear();
}

void CommandStates::applyLoadStates()
{
    applyFolderStates(!currentDirId_.empty());
    setGroup(CommandGroup::Index, !currentDirId_.empty() && !currentContentId_.empty());
    changed();
}

void CommandStates::setLauncherForWindowLoad()
{
    for (const auto b :
         {LauncherButton::AddIndex, LauncherButton::Clipboard, LauncherButton::Search, LauncherButton::Sync})
        setLauncher(b, true);
    setLauncher(LauncherButton::Change, false);
    changed();
}

void CommandStates::setLauncherForWindowUnload()
{
    for (const auto b :
         {LauncherButton::AddIndex, LauncherButton::Clipboard, LauncherButton::Search, LauncherButton::Sync})
        setLauncher(b, false);
    changed();
}

void CommandStates::setFrameHidden(bool hidden)
{
    setLauncher(LauncherButton::Change, hidden);
    changed();
}

void CommandStates::setSyncAvailable(bool available)
{
    syncAvailable_ = available;
    changed();
}

void CommandStates::setUndoSyncAvailable(bool available)
{
    undoSyncAvailable_ = available;
    changed();
}

void CommandStates::setRepairAvailable(bool available)
{
    if (repairAvailable_ == available)
        return;
    repairAvailable_ = available;
    changed();
}

void CommandStates::changed()
{
    listeners_.notify();
}

} // namespace quillory
