#include "core/shell/MenuTable.h"

namespace quillory {

const std::vector<MenuEntry>& menuTable()
{
    static const std::vector<MenuEntry> table = {
        {"mnufile1", "", "FileStr", "", "File"},
        {"mnuNew", "mnufile1", "FileNewStr", "Ctrl+N", "New"},
        {"mnuOpen", "mnufile1", "OpenStr", "Ctrl+O", "Open"},
        {"mnuSplit1", "mnufile1", "-", "", ""},
        {"mnuExit1", "mnufile1", "ExitStr", "", "Exit"},
        {"mnuFile", "", "FileStr", "", "File"},
        {"mnuClose", "mnuFile", "CloseStr", "Ctrl+Q", "Close"},
        {"mnuSplit31", "mnuFile", "-", "", ""},
        {"mnuExit", "mnuFile", "ExitStr", "", "Exit"},
        {"mnuDirectory", "", "Directory", "", "Cat"},
        {"mnuDAddRoot", "mnuDirectory", "DAddRoot", "F2", "AddRoot"},
        {"mnuDAddChild", "mnuDirectory", "DAddChild", "F3", "AddChild"},
        {"mnuSplit32", "mnuDirectory", "-", "", ""},
        {"mnuDUpdate", "mnuDirectory", "DUpdate", "", "update"},
        {"mnuDDelete", "mnuDirectory", "DDelete", "", "Delete"},
        {"mnuSplit33", "mnuDirectory", "-", "", ""},
        {"mnuDRename", "mnuDirectory", "DRename", "", "rename"},
        {"mnuSplit34", "mnuDirectory", "-", "", ""},
        {"mnuDProperty", "mnuDirectory", "DProperty", "Ctrl+D", "property"},
        {"mnuFileList", "", "FileList", "", "index"},
        {"mnuCOpenFile", "mnuFileList", "COpenFile", "", "openfile"},
        {"mnuSplit35", "mnuFileList", "-", "", ""},
        {"mnuCAddFile", "mnuFileList", "CAddFile", "Ctrl+A", "add"},
        {"mnuCUpdate", "mnuFileList", "CUpdate", "", "update"},
        {"mnuCDelete", "mnuFileList", "CDelete", "", "delete"},
        {"mnuSplit36", "mnuFileList", "-", "", ""},
        {"mnuCProperty", "mnuFileList", "CProperty", "Ctrl+Z", "property"},
        {"mnuTool", "", "Tool", "", "tool"},
        {"mnuSSearchFile", "mnuTool", "SSearch", "Ctrl+F", "search"},
        {"mnuSplit37", "mnuTool", "-", "", ""},
        {"mnuClipDataIn", "mnuTool", "ClipDataIn", "Ctrl+F2", "datain"},
        {"mnuSplit39", "mnuTool", "-", "", ""},
        {"mnuSyncData", "mnuTool", "SyncData", "F5", "sync"},
        {"mnuSystem", "", "SystemStr", "", "system"},
        {"mnuSysOption", "mnuSystem", "OptionStr", "", "option"},
        {"mnuHelp", "", "HelpStr", "", "Help"},
        {"mnuHContents", "mnuHelp", "HelpContents", "F1", "Help Contents"},
        {"mnuSplit3", "mnuHelp", "-", "", ""},
        {"mnuAbout", "mnuHelp", "HAbout", "", "About Quillory"},
    };
    return table;
}

const std::vector<std::string_view>& noCatalogMenus()
{
    static const std::vector<std::string_view> menus = {"mnufile1", "mnuHelp"};
    return menus;
}

const std::vector<std::string_view>& catalogMenus()
{
    static const std::vector<std::string_view> menus = {"mnuFile", "mnuDirectory", "mnuFileList",
                                                        "mnuTool", "mnuSystem", "mnuHelp"};
    return menus;
}

} // namespace quillory
