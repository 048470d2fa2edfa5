#pragma once

#include <array>
#include <functional>
#include <string>

namespace quillory {

// The commands whose availability follows the selection.
enum class Command {
    AddRoot, AddChild, UpdateFolder, DeleteFolder, FolderProperty, RenameFolder,
    AddIndex, OpenIndex, UpdateIndex, DeleteIndex, IndexProperty,
    Search, ClipDataIn, Sync,
};
inline constexpr size_t kCommandCount = 14;

enum class LauncherButton { Change, AddIndex, Search, Clipboard, Sync };
inline constexpr size_t kLauncherButtonCount = 5;

// How one command shows up in the frame: its menu item, toolbar button (with the image for each
// state; an empty disabled image means the button is never disabled), launcher button if any,
// and the caption key of its menu entry.
struct CommandInfo {
    Command command;
    const char* menuItem;
    const char* toolButton;
    const char* normalImage;
    const char* disabledImage;
    const char* captionKey;
};
const std::array<CommandInfo, kCommandCount>& commandTable();
const CommandInfo& commandInfo(Command command);

// The program's selection (current folder and current index, "" for none) and, from it, which
// commands are on. The two setters are the only way the selection changes. Their rules are
// deliberately incremental: choosing a folder leaves the index commands as they were, and only
// choosing or clearing an index changes them.
class CommandStates {
public:
    const std::string& currentDirId() const { return currentDirId_; }
    const std::string& currentContentId() const { return currentContentId_; }

    void setCurrentDir(const std::string& id);
    // A non-empty id also makes its folder (the text before "!") current.
    void setCurrentContent(const std::string& id);
    // The states a freshly loaded window shows for the current ids.
    void applyLoadStates();
    // The launcher's buttons while a catalog window exists, and after it is gone.
    void setLauncherForWindowLoad();
    void setLauncherForWindowUnload();

    bool isEnabled(Command command) const { return enabled_[static_cast<size_t>(command)]; }
    // The toolbar image the command's button shows now.
    std::string imageOf(Command command) const;
    bool isLauncherEnabled(LauncherButton button) const { return launcher_[static_cast<size_t>(button)]; }

    // Called after every change of the states.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    void applyFolderStates(bool folderChosen);
    void set(Command command, bool on) { enabled_[static_cast<size_t>(command)] = on; }
    void setLauncher(LauncherButton button, bool on) { launcher_[static_cast<size_t>(button)] = on; }
    void changed();

    std::string currentDirId_;
    std::string currentContentId_;
    std::array<bool, kCommandCount> enabled_{};
    std::array<bool, kLauncherButtonCount> launcher_{};
    std::function<void()> listener_;
};

} // namespace quillory
