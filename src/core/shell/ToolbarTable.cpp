#include "core/shell/ToolbarTable.h"

#include "core/store/fileOpe.h"

namespace quillory {

const std::vector<ToolButtonEntry>& toolbarTable()
{
    static const std::vector<ToolButtonEntry> table = {
        {"tNew", 2, "New", "", "FileNewStr", false, false},
        {"tOpen", 3, "OpenFile", "", "OpenStr", false, false},
        {"tDAddRoot", 5, "AddFolder", "tDAddRoot", "DAddRoot", true, true},
        {"tDAddChild", 6, "AddSubFolder", "tDAddChild", "DAddChild", true, true},
        {"tDUpdate", 7, "ModifyFolder", "tDUpdate", "DUpdate", true, true},
        {"tDDelete", 8, "DeleteFolder", "tDDelete", "DDelete", true, true},
        {"tDRename", 4, "RenameFolder", "tDRename", "DRename", true, true},
        {"tDProperty", 9, "FolderProperty", "tDProperty", "DProperty", true, true},
        {"tCOpenFile", 10, "Exec", "tCOpenFile", "COpenFile", true, true},
        {"tCAdd", 11, "AddIndex", "tCAdd", "CAddFile", true, true},
        {"tCUpdate", 12, "ModifyIndex", "tCUpdate", "CUpdate", true, true},
        {"tCDelete", 13, "DeleteIndex", "tCDelete", "CDelete", true, true},
        {"tCProperty", 14, "IndexProperty", "tCProperty", "CProperty", true, true},
        {"tTSearch", 15, "Search", "tTSearch", "SSearch", true, true},
        {"tTClipDataIn", 16, "DataIn", "tTClipDataIn", "ClipDataIn", true, true},
        {"tTSynchData", 17, "refresh", "tTSynchData", "SyncData", true, true},
        {"tSOption", 18, "preferance", "tSOption", "OptionStr", true, false},
        {"tHHelpContent", 19, "help", "tHHelpContent", "HelpContents", true, false},
    };
    return table;
}

std::string toolTipFromCaption(std::string_view caption)
{
    return fileOpe::getFirstStrs(caption, "(");
}

} // namespace quillory
