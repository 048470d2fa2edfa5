#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/shell/CommandTable.h"

class QAction;
class QMenu;

namespace quillory {

class CommandStates;
class Messages;
class PopupMenuModel;

// The program's commands as actions, built from the command table: one action per menu entry,
// toolbar button and launcher button, each carrying its Command. Windows register the commands they
// carry out; a triggered action, a toolbar key, a context-menu entry or the launcher reaches
// them only through run(). The selection's command states are applied to every action at once.
//
// This is the one header the shell and the catalog window share.
class CommandDispatcher : public QObject {
public:
    explicit CommandDispatcher(Messages& messages, QObject* parent = nullptr);
    ~CommandDispatcher() override;

    // The action of a menu entry, toolbar button or context-menu entry by its name; null when
    // there is none.
    QAction* action(const QString& name) const { return byName_.value(name); }
    QAction* menuAction(Command command) const { return menuActions_[index(command)]; }
    QAction* startMenuAction(Command command) const { return startMenuActions_[index(command)]; }
    QAction* toolAction(Command command) const { return toolActions_[index(command)]; }
    // The launcher's button: on and off by the launcher's own states (what it does when
    // triggered is the launcher's to decide).
    QAction* launcherAction(LauncherButton button) const { return launcherActions_[static_cast<size_t>(button)]; }
    // Every action of the command in the menus and on the toolbar.
    QList<QAction*> actionsOf(Command command) const;
    // The command an action carries.
    static std::optional<Command> commandOf(const QAction* action);

    // Has handler carry out command while owner exists (a later registration replaces it).
    void setHandler(Command command, QObject* owner, std::function<void()> handler);
    bool hasHandler(Command command) const;
    // Carries the command out, as one user action: its notices are shown together at the end.
    // False when no window carries it out now.
    bool run(Command command);

    // Enables and disables every action of the commands that follow the selection.
    void applyStates(const CommandStates& states);

    // The context menu of nineteen entries, filled from model; choosing entry i calls
    // onChosen(i). showPopup() shows it at globalPos.
    static constexpr int kPopupItems = 19;
    QMenu* popupMenu() const { return popup_.get(); }
    QAction* popupItem(int index) const { return popupItems_[static_cast<size_t>(index)]; }
    void fillPopup(const PopupMenuModel& model, std::function<void(int index)> onChosen);
    void showPopup(const QPoint& globalPos);
    // The entry i of the context menu was chosen.
    void popupChosen(int index);

private:
    static size_t index(Command command) { return static_cast<size_t>(command); }
    // An action carrying command; runs it when triggered unless it is a launcher button.
    QAction* makeAction(Command command, const QString& name, bool runsWhenTriggered = true);

    struct Route {
        QPointer<QObject> owner;
        std::function<void()> handler;
    };
    Messages& messages_;
    std::array<QAction*, kCommandCount> menuActions_{};
    std::array<QAction*, kCommandCount> startMenuActions_{};
    std::array<QAction*, kCommandCount> toolActions_{};
    std::array<QAction*, kLauncherButtonCount> launcherActions_{};
    std::array<Route, kCommandCount> routes_{};
    QHash<QString, QAction*> byName_;
    std::unique_ptr<QMenu> popup_;
    std::array<QAction*, kPopupItems> popupItems_{};
    std::function<void(int)> onPopupChosen_;
};

} // namespace quillory
