#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/base/Listeners.h"
#include "core/shell/CommandTable.h"

namespace quillory {

// The program's selection (current folder and current index, "" for none) and, from it, which
// commands are on, for the menus and toolbar and for the floating launcher. The two setters are
// the only way the selection changes. Their rules are deliberately incremental: choosing a folder
// leaves the index commands as they were, and only choosing or clearing an index changes them.
class CommandStates {
public:
    const std::string& currentDirId() const { return currentDirId_; }
    const std::string& currentContentId() const { return currentContentId_; }

    void setCurrentDir(const std::string& id);
    // A non-empty id also makes its folder (the text before "!") current.
    void setCurrentContent(const std::string& id);
    // A new catalog window starts with nothing chosen; nothing is switched on or off by it.
    void clearSelection();
    // The states a freshly loaded catalog window shows for the current ids.
    void applyLoadStates();

    // The launcher's catalog buttons while a catalog window exists, and after it is gone.
    void setLauncherForWindowLoad();
    void setLauncherForWindowUnload();
    // The launcher's button that brings the frame back is on while the frame is hidden.
    void setFrameHidden(bool hidden);
    // The disk synchronisation needs the change monitor: until one runs, Sync stays off in the
    // menus, on the toolbar, on its key and on the launcher, whatever the selection.
    void setSyncAvailable(bool available);
    // Undo last synchronisation is on only while an undo is kept for the open catalog (and the
    // change monitor runs, as for Sync).
    void setUndoSyncAvailable(bool available);
    // Whether the last check of the catalog found moved documents to offer as repairs.
    void setRepairAvailable(bool available);

    bool isEnabled(Command command) const;
    bool isGroupEnabled(CommandGroup group) const { return groups_[static_cast<size_t>(group)]; }
    bool isLauncherEnabled(LauncherButton button) const
    {
        return launcher_[static_cast<size_t>(button)] && (button != LauncherButton::Sync || syncAvailable_);
    }

    // Called after every change of the states. Returns an id for removeListener.
    int addListener(std::function<void()> listener) { return listeners_.add(std::move(listener)); }
    void removeListener(int id) { listeners_.remove(id); }

private:
    void applyFolderStates(bool folderChosen);
    void setGroup(CommandGroup group, bool on) { groups_[static_cast<size_t>(group)] = on; }
    void setLauncher(LauncherButton button, bool on) { launcher_[static_cast<size_t>(button)] = on; }
    void changed();

    std::string currentDirId_;
    std::string currentContentId_;
    bool syncAvailable_ = false;
    bool undoSyncAvailable_ = false;
    bool repairAvailable_ = false;
    std::array<bool, 5> groups_{true, false, false, false, false};
    std::array<bool, kLauncherButtonCount> launcher_{false, false, false, false, false, true};
    Listeners<> listeners_;
};

} // namespace quillory
