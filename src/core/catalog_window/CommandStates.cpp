#include "core/catalog_window/CommandStates.h"

#include "core/store/fileOpe.h"

namespace quillory {

const std::array<CommandInfo, kCommandCount>& commandTable()
{
    static const std::array<CommandInfo, kCommandCount> table = {{
        {Command::AddRoot, "mnuDAddRoot", "tDAddRoot", "AddFolder-N", "", "DAddRoot"},
        {Command::AddChild, "mnuDAddChild", "tDAddChild", "AddSubFolder-N", "AddSubFolder-D", "DAddChild"},
        {Command::UpdateFolder, "mnuDUpdate", "tDUpdate", "ModifyFolder-N", "ModifyFolder-D", "DUpdate"},
        {Command::DeleteFolder, "mnuDDelete", "tDDelete", "DeleteFolder-N", "DeleteFolder-D", "DDelete"},
        {Command::FolderProperty, "mnuDProperty", "tDProperty", "FolderProperty-N", "FolderProperty-D", "DProperty"},
        {Command::RenameFolder, "mnuDRename", "tDRename", "RenameFolder-N", "RenameFolder-D", "DRename"},
        {Command::AddIndex, "mnuCAddFile", "tCAdd", "AddIndex-N", "AddIndex-D", "CAddFile"},
        {Command::OpenIndex, "mnuCOpenFile", "tCOpenFile", "Exec-N", "Exec-D", "COpenFile"},
        {Command::UpdateIndex, "mnuCUpdate", "tCUpdate", "ModifyIndex-N", "ModifyIndex-D", "CUpdate"},
        {Command::DeleteIndex, "mnuCDelete", "tCDelete", "DeleteIndex-N", "DeleteIndex-D", "CDelete"},
        {Command::IndexProperty, "mnuCProperty", "tCProperty", "IndexProperty-N", "IndexProperty-D", "CProperty"},
        {Command::Search, "mnuSSearchFile", "tTSearch", "Search-N", "", "SSearch"},
        {Command::ClipDataIn, "mnuClipDataIn", "tTClipDataIn", "DataIn-N", "DataIn-D", "ClipDataIn"},
        {Command::Sync, "mnuSyncData", "tTSynchData", "refresh-N", "refresh-D", "SyncData"},
    }};
    return table;
}

const CommandInfo& commandInfo(Command command)
{
    return commandTable()[static_cast<size_t>(command)];
}

std::string CommandStates::imageOf(Command command) const
{
    const CommandInfo& info = commandInfo(command);
    return isEnabled(command) || info.disabledImage[0] == '\0' ? info.normalImage : info.disabledImage;
}

void CommandStates::applyFolderStates(bool folderChosen)
{
    for (const Command c : {Command::AddChild, Command::UpdateFolder, Command::DeleteFolder, Command::FolderProperty,
                            Command::RenameFolder, Command::AddIndex, Command::ClipDataIn, Command::Sync})
        set(c, folderChosen);
    set(Command::AddRoot, true);
    set(Command::Search, true);
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
        currentDirId_ = fileOpe::getFirstStrs(id, "!");
        applyFolderStates(!currentDirId_.empty());
        for (const Command c : {Command::IndexProperty, Command::AddIndex, Command::UpdateIndex, Command::DeleteIndex,
                                Command::OpenIndex})
            set(c, true);
        setLauncher(LauncherButton::AddIndex, true);
    } else {
        set(Command::IndexProperty, false);
        set(Command::AddIndex, !currentDirId_.empty());
        setLauncher(LauncherButton::AddIndex, !currentDirId_.empty());
        set(Command::UpdateIndex, false);
        set(Command::DeleteIndex, false);
        set(Command::OpenIndex, false);
    }
    changed();
}

void CommandStates::applyLoadStates()
{
    applyFolderStates(!currentDirId_.empty());
    const bool indexChosen = !currentDirId_.empty() && !currentContentId_.empty();
    for (const Command c : {Command::IndexProperty, Command::UpdateIndex, Command::DeleteIndex, Command::OpenIndex})
        set(c, indexChosen);
    changed();
}

void CommandStates::setLauncherForWindowLoad()
{
    for (const auto b : {LauncherButton::AddIndex, LauncherButton::Clipboard, LauncherButton::Search, LauncherButton::Sync})
        setLauncher(b, true);
    setLauncher(LauncherButton::Change, false);
    changed();
}

void CommandStates::setLauncherForWindowUnload()
{
    for (const auto b : {LauncherButton::AddIndex, LauncherButton::Clipboard, LauncherButton::Search, LauncherButton::Sync})
        setLauncher(b, false);
    changed();
}

void CommandStates::changed()
{
    if (listener_)
        listener_();
}

} // namespace quillory
