#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

// Every command a user can give: from the menus, the toolbar, the context menu, the floating
// launcher or a key.
enum class Command {
    New,
    Open,
    Close,
    Exit,
    AddRoot,
    AddChild,
    UpdateFolder,
    DeleteFolder,
    RenameFolder,
    FolderProperty,
    OpenIndex,
    AddIndex,
    UpdateIndex,
    DeleteIndex,
    IndexProperty,
    Search,
    ClipDataIn,
    Sync,
    UndoSync,         // puts back the index files of the last Sync
    CheckCatalog,     // every index's document looked for, the problems listed
    RepairReferences, // the moved documents the last check found offered as repairs
    Options,
    HelpContents,
    About,
    ShowFrame, // the launcher's button that shows or hides the frame
};
inline constexpr size_t kCommandCount = static_cast<size_t>(Command::ShowFrame) + 1;

// What makes a command available. The selection switches the three middle groups; the others
// do not follow it.
enum class CommandGroup {
    Always,   // available whenever its menu or button is shown
    Folder,   // a folder is current
    AddIndex, // a folder is current (also through a current index)
    Index,    // an index is current
    Launcher, // enabled by the launcher's own rules only
};

// The floating launcher's buttons, left to right.
enum class LauncherButton { Change, AddIndex, Search, Clipboard, Sync, Exit };
inline constexpr size_t kLauncherButtonCount = 6;

// One command and every place it shows up. An empty name means it has no such place.
struct CommandRow {
    Command command;
    std::string_view menuItem;      // its entry in the menus of an open catalog
    std::string_view startMenuItem; // its entry in the menus without a catalog
    std::string_view menuText;      // what a menu entry shows until the captions are set
    std::string_view captionKey;    // the configuration key of its caption
    std::string_view shortcut;      // in Qt's key sequence notation
    std::string_view toolButton;    // its toolbar button
    std::string_view toolKey;       // what the toolbar dispatch knows it by
    int hoverCode;                  // the toolbar button's number
    std::string_view image;         // image base name: "<image>-N", "-H" and "-D" GIF files
    bool hasDisabledImage;          // false: the button always shows its normal look
    int popupOrder;                 // rank when the context menu finds a command by caption
    std::optional<LauncherButton> launcher;
    std::string_view launcherName;
    std::string_view launcherTipKey; // the configuration key of the launcher button's tooltip
    CommandGroup group;
};

const std::array<CommandRow, kCommandCount>& commandTable();
const CommandRow& commandRow(Command command);
// The command of a toolbar key, and of a launcher button.
std::optional<Command> commandByToolKey(std::string_view key);
std::optional<Command> commandOfLauncher(LauncherButton button);

// The context menu finds a command by its caption: the first row in this order whose caption
// equals it.
std::vector<Command> popupDispatchOrder();

// ---- menus ----

// One entry of the menu bar in the order entries stand: a menu on the bar (no parent), a
// command's entry or a separator (captionKey "-").
struct MenuEntry {
    std::string_view name;
    std::string_view parent;
    std::string_view captionKey;
    std::string_view designText;
    std::string_view shortcut;
    std::optional<Command> command;
    std::string_view picture; // the entry's small picture: resource/images/menu/<picture>.png
};
const std::vector<MenuEntry>& menuLayout();
// The small picture a command's menu entries show ("" for none).
std::string_view menuPictureOf(Command command);

// The menus on the bar with no catalog open, and with one.
const std::vector<std::string_view>& noCatalogMenus();
const std::vector<std::string_view>& catalogMenus();

// ---- toolbar ----

// The buttons of the toolbar, left to right, and whether each shows with a catalog open (else
// it shows without one).
struct ToolbarSlot {
    Command command;
    bool catalogButton;
};
const std::vector<ToolbarSlot>& toolbarLayout();
// A button's tooltip: its command's caption up to the first "(" (where the keyboard hint starts).
std::string toolTipFromCaption(std::string_view caption);

} // namespace quillory
