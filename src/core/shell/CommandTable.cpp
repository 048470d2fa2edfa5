#include "core/shell/CommandTable.h"

#include "core/store/TextSplit.h"

namespace quillory {

namespace {
using C = Command;
using G = CommandGroup;
using L = LauncherButton;
constexpr std::optional<LauncherButton> kNoButton = std::nullopt;
} // namespace

// Rows in the order of the Command enumeration.
const std::array<CommandRow, kCommandCount>& commandTable()
{
    // clang-format off
    static const std::array<CommandRow, kCommandCount> table = {{
        // command           menu item         start item    menu text        caption key     shortcut   button          key             hover image             -D     popup launcher        launcher name    launcher tooltip key           group
        {C::New,            "mnuNew",         "",           "New",           "FileNewStr",   "Ctrl+N",  "tNew",         "",             2,  "New",            false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::Open,           "mnuOpen",        "",           "Open",          "OpenStr",      "Ctrl+O",  "tOpen",        "",             3,  "OpenFile",       false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::Close,          "mnuClose",       "",           "Close",         "CloseStr",     "Ctrl+Q",  "",             "tClose",       0,  "",               false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::Exit,           "mnuExit",        "mnuExit1",   "Exit",          "ExitStr",      "",        "",             "",             0,  "",               false, 12, L::Exit,        "cmd_exit",      "FloatForm_cmd_exit_tp",       G::Always},
        {C::AddRoot,        "mnuDAddRoot",    "",           "AddRoot",       "DAddRoot",     "F2",      "tDAddRoot",    "tDAddRoot",    5,  "AddFolder",      false, 8,  kNoButton,      "",              "",                            G::Always},
        {C::AddChild,       "mnuDAddChild",   "",           "AddChild",      "DAddChild",    "F3",      "tDAddChild",   "tDAddChild",   6,  "AddSubFolder",   true,  7,  kNoButton,      "",              "",                            G::Folder},
        {C::UpdateFolder,   "mnuDUpdate",     "",           "update",        "DUpdate",      "",        "tDUpdate",     "tDUpdate",     7,  "ModifyFolder",   true,  11, kNoButton,      "",              "",                            G::Folder},
        {C::DeleteFolder,   "mnuDDelete",     "",           "Delete",        "DDelete",      "",        "tDDelete",     "tDDelete",     8,  "DeleteFolder",   true,  9,  kNoButton,      "",              "",                            G::Folder},
        {C::RenameFolder,   "mnuDRename",     "",           "rename",        "DRename",      "",        "tDRename",     "tDRename",     4,  "RenameFolder",   true,  14, kNoButton,      "",              "",                            G::Folder},
        {C::FolderProperty, "mnuDProperty",   "",           "property",      "DProperty",    "Ctrl+D",  "tDProperty",   "tDProperty",   9,  "FolderProperty", true,  10, kNoButton,      "",              "",                            G::Folder},
        {C::OpenIndex,      "mnuCOpenFile",   "",           "openfile",      "COpenFile",    "",        "tCOpenFile",   "tCOpenFile",   10, "Exec",           true,  4,  kNoButton,      "",              "",                            G::Index},
        {C::AddIndex,       "mnuCAddFile",    "",           "add",           "CAddFile",     "Ctrl+A",  "tCAdd",        "tCAdd",        11, "AddIndex",       true,  1,  L::AddIndex,    "cmd_addIndex",  "FloatForm_cmd_addIndex_tp",   G::AddIndex},
        {C::UpdateIndex,    "mnuCUpdate",     "",           "update",        "CUpdate",      "",        "tCUpdate",     "tCUpdate",     12, "ModifyIndex",    true,  6,  kNoButton,      "",              "",                            G::Index},
        {C::DeleteIndex,    "mnuCDelete",     "",           "delete",        "CDelete",      "",        "tCDelete",     "tCDelete",     13, "DeleteIndex",    true,  2,  kNoButton,      "",              "",                            G::Index},
        {C::IndexProperty,  "mnuCProperty",   "",           "property",      "CProperty",    "Ctrl+Z",  "tCProperty",   "tCProperty",   14, "IndexProperty",  true,  5,  kNoButton,      "",              "",                            G::Index},
        {C::Search,         "mnuSSearchFile", "",           "search",        "SSearch",      "Ctrl+F",  "tTSearch",     "tTSearch",     15, "Search",         false, 13, L::Search,      "cmd_search",    "FloatForm_cmd_search_tp",     G::Always},
        {C::ClipDataIn,     "mnuClipDataIn",  "",           "datain",        "ClipDataIn",   "Ctrl+F2", "tTClipDataIn", "tTClipDataIn", 16, "DataIn",         true,  3,  L::Clipboard,   "cmd_clipboard", "FloatForm_cmd_clipboard_tp",  G::Folder},
        {C::Sync,           "mnuSyncData",    "",           "sync",          "SyncData",     "F5",      "tTSynchData",  "tTSynchData",  17, "refresh",        true,  0,  L::Sync,        "cmd_sync",      "FloatForm_cmd_sync_tp",       G::Folder},
        {C::UndoSync,       "mnuUndoSyncData","",           "undo sync",     "mnuUndoSync",  "",        "",             "",             0,  "",               false, 17, kNoButton,      "",              "",                            G::Always},
        {C::CheckCatalog,   "mnuToolCheck",   "",           "check",         "mnuCheckCatalog", "",     "",             "",             0,  "",               false, 15, kNoButton,      "",              "",                            G::Always},
        {C::RepairReferences,"mnuToolRepair", "",           "repair",        "mnuRepairRefs","",        "",             "",             0,  "",               false, 16, kNoButton,      "",              "",                            G::Always},
        {C::Options,        "mnuSysOption",   "",           "option",        "OptionStr",    "",        "tSOption",     "tSOption",     18, "preferance",     false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::HelpContents,   "mnuHContents",   "",           "Help Contents", "HelpContents", "F1",      "tHHelpContent","tHHelpContent",19, "help",           false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::About,          "mnuAbout",       "",           "About Quillory","HAbout",       "",        "",             "",             0,  "",               false, 0,  kNoButton,      "",              "",                            G::Always},
        {C::ShowFrame,      "",               "",           "",              "",             "",        "",             "",             0,  "",               false, 0,  L::Change,      "cmd_change",    "FloatForm_cmd_change_tp",     G::Launcher},
    }};
    // clang-format on
    return table;
}

const CommandRow& commandRow(Command command)
{
    return commandTable()[static_cast<size_t>(command)];
}

std::optional<Command> commandByToolKey(std::string_view key)
{
    if (key.empty())
        return std::nullopt;
    for (const CommandRow& row : commandTable()) {
        if (row.toolKey == key)
            return row.command;
    }
    return std::nullopt;
}

std::optional<Command> commandOfLauncher(LauncherButton button)
{
    for (const CommandRow& row : commandTable()) {
        if (row.launcher == button)
            return row.command;
    }
    return std::nullopt;
}

std::vector<Command> popupDispatchOrder()
{
    std::vector<const CommandRow*> ranked;
    for (const CommandRow& row : commandTable()) {
        if (row.popupOrder > 0)
            ranked.push_back(&row);
    }
    std::vector<Command> order(ranked.size());
    for (const CommandRow* row : ranked)
        order.at(static_cast<size_t>(row->popupOrder - 1)) = row->command;
    return order;
}

namespace {

struct BarMenu {
    std::string_view name, captionKey, designText;
    // A command's entry, or the name of a separator.
    struct Item {
        std::optional<Command> command;
        std::string_view separator;
    };
    std::vector<Item> items;
};

BarMenu::Item item(Command command)
{
    return {command, {}};
}
BarMenu::Item separator(std::string_view name)
{
    return {std::nullopt, name};
}

const std::vector<BarMenu>& bar()
{
    static const std::vector<BarMenu> menus = {
        {"mnufile1", "FileStr", "File", {item(C::New), item(C::Open), separator("mnuSplit1"), item(C::Exit)}},
        {"mnuFile", "FileStr", "File", {item(C::Close), separator("mnuSplit31"), item(C::Exit)}},
        {"mnuDirectory",
         "Directory",
         "Cat",
         {item(C::AddRoot), item(C::AddChild), separator("mnuSplit32"), item(C::UpdateFolder), item(C::DeleteFolder),
          separator("mnuSplit33"), item(C::RenameFolder), separator("mnuSplit34"), item(C::FolderProperty)}},
        {"mnuFileList",
         "FileList",
         "index",
         {item(C::OpenIndex), separator("mnuSplit35"), item(C::AddIndex), item(C::UpdateIndex), item(C::DeleteIndex),
          separator("mnuSplit36"), item(C::IndexProperty)}},
        {"mnuTool",
         "Tool",
         "tool",
         {item(C::Search), item(C::CheckCatalog), item(C::RepairReferences), separator("mnuSplit37"),
          item(C::ClipDataIn), separator("mnuSplit39"), item(C::Sync), item(C::UndoSync)}},
        {"mnuSystem", "SystemStr", "system", {item(C::Options)}},
        {"mnuHelp", "HelpStr", "Help", {item(C::HelpContents), separator("mnuSplit3"), item(C::About)}},
    };
    return menus;
}

} // namespace

const std::vector<MenuEntry>& menuLayout()
{
    static const std::vector<MenuEntry> layout = [] {
        std::vector<MenuEntry> entries;
        for (const BarMenu& menu : bar()) {
            entries.push_back({menu.name, "", menu.captionKey, menu.designText, "", std::nullopt, ""});
            for (const BarMenu::Item& entry : menu.items) {
                if (!entry.command) {
                    entries.push_back({entry.separator, menu.name, "-", "", "", std::nullopt, ""});
                    continue;
                }
                const CommandRow& row = commandRow(*entry.command);
                // A command in both menu sets has its second entry in the menu without a catalog.
                const bool startEntry = !row.startMenuItem.empty() && menu.name == noCatalogMenus().front();
                entries.push_back({startEntry ? row.startMenuItem : row.menuItem, menu.name, row.captionKey,
                                   row.menuText, row.shortcut, row.command, menuPictureOf(row.command)});
            }
        }
        return entries;
    }();
    return layout;
}

std::string_view menuPictureOf(Command command)
{
    switch (command) {
    case C::New: return "pic_mnu_new";
    case C::Open: return "pic_mnu_open";
    case C::Close: return "pic_mnu_close";
    case C::Exit: return "pic_mnu_exit";
    case C::AddRoot: return "pic_mnu_addroot";
    case C::AddChild: return "pic_mnu_addchild";
    case C::UpdateFolder: return "pic_mnu_modifycat";
    case C::DeleteFolder: return "pic_mnu_deletecat";
    case C::RenameFolder: return "pic_mnu_rename";
    case C::FolderProperty: return "pic_mnu_catproperty";
    case C::OpenIndex: return "pic_mnu_openfile";
    case C::AddIndex: return "pic_mnu_addindex";
    case C::UpdateIndex: return "pic_mnu_updateindex";
    case C::DeleteIndex: return "pic_mnu_deleteindex";
    case C::IndexProperty: return "pic_mnu_indexproperty";
    case C::Search: return "pic_mnu_search";
    case C::ClipDataIn: return "pic_mnu_datain";
    case C::Sync: return "pic_mnu_sync";
    case C::Options: return "pic_mnu_option";
    case C::HelpContents: return "pic_mnu_help";
    case C::UndoSync:
    case C::CheckCatalog:
    case C::RepairReferences:
    case C::About:
    case C::ShowFrame: return "";
    }
    return "";
}

const std::vector<std::string_view>& noCatalogMenus()
{
    static const std::vector<std::string_view> menus = {"mnufile1", "mnuHelp"};
    return menus;
}

const std::vector<std::string_view>& catalogMenus()
{
    static const std::vector<std::string_view> menus = {"mnuFile", "mnuDirectory", "mnuFileList",
                                                        "mnuTool", "mnuSystem",    "mnuHelp"};
    return menus;
}

const std::vector<ToolbarSlot>& toolbarLayout()
{
    static const std::vector<ToolbarSlot> slots = {
        {C::New, false},          {C::Open, false},        {C::AddRoot, true},      {C::AddChild, true},
        {C::UpdateFolder, true},  {C::DeleteFolder, true}, {C::RenameFolder, true}, {C::FolderProperty, true},
        {C::OpenIndex, true},     {C::AddIndex, true},     {C::UpdateIndex, true},  {C::DeleteIndex, true},
        {C::IndexProperty, true}, {C::Search, true},       {C::ClipDataIn, true},   {C::Sync, true},
        {C::Options, true},       {C::HelpContents, true},
    };
    return slots;
}

std::string toolTipFromCaption(std::string_view caption)
{
    return getFirstStrs(caption, "(");
}

} // namespace quillory
