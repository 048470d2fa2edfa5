#include "ui/shell/CommandDispatcher.h"

#include <QAction>
#include <QMenu>

#include "core/base/Messages.h"
#include "core/catalog_window/CommandStates.h"
#include "core/catalog_window/PopupMenu.h"
#include "ui/platform/QtText.h"

namespace quillory {

namespace {
constexpr const char* kCommandProperty = "quilloryCommand";

} // namespace

CommandDispatcher::CommandDispatcher(Messages& messages, QObject* parent)
    : QObject(parent), messages_(messages), popup_(std::make_unique<QMenu>())
{
    for (const CommandRow& row : commandTable()) {
        if (!row.menuItem.empty()) {
            QAction* item = makeAction(row.command, qs(row.menuItem));
            item->setText(qs(row.menuText));
            if (!row.shortcut.empty())
                item->setShortcut(QKeySequence(qs(row.shortcut)));
            menuActions_[index(row.command)] = item;
        }
        if (!row.startMenuItem.empty()) {
            QAction* item = makeAction(row.command, qs(row.startMenuItem));
            item->setText(qs(row.menuText));
            startMenuActions_[index(row.command)] = item;
        }
        if (!row.toolButton.empty())
            toolActions_[index(row.command)] = makeAction(row.command, qs(row.toolButton));
        if (row.launcher)
            launcherActions_[static_cast<size_t>(*row.launcher)] = makeAction(row.command, qs(row.launcherName), false);
    }

    popup_->setObjectName(QStringLiteral("mnuPopmenu"));
    for (int i = 0; i < kPopupItems; ++i) {
        const QString name = QStringLiteral("mnuPop%1").arg(i);
        QAction* item = popup_->addAction(name);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, [this, i] { popupChosen(i); });
        byName_.insert(name, item);
        popupItems_[static_cast<size_t>(i)] = item;
    }
}

CommandDispatcher::~CommandDispatcher() = default;

QAction* CommandDispatcher::makeAction(Command command, const QString& name, bool runsWhenTriggered)
{
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setProperty(kCommandProperty, static_cast<int>(command));
    if (runsWhenTriggered)
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
    byName_.insert(name, action);
    return action;
}

QList<QAction*> CommandDispatcher::actionsOf(Command command) const
{
    QList<QAction*> actions;
    for (QAction* action : {menuAction(command), startMenuAction(command), toolAction(command)}) {
        if (action)
            actions.append(action);
    }
    return actions;
}

std::optional<Command> CommandDispatcher::commandOf(const QAction* action)
{
    const QVariant value = action ? action->property(kCommandProperty) : QVariant();
    if (!value.isValid())
        return std::nullopt;
    return static_cast<Command>(value.toInt());
}

void CommandDispatcher::setHandler(Command command, QObject* owner, std::function<void()> handler)
{
    routes_[index(command)] = Route{owner, std::move(handler)};
}

bool CommandDispatcher::hasHandler(Command command) const
{
    const Route& route = routes_[index(command)];
    return route.owner && route.handler;
}

bool CommandDispatcher::run(Command command)
{
    if (!hasHandler(command))
        return false;
    // A copy: the handler may replace its own registration (a window closing and another opening).
    const std::function<void()> handler = routes_[index(command)].handler;
    MessageBatch batch(messages_);
    handler();
    return true;
}

void CommandDispatcher::applyStates(const CommandStates& states)
{
    for (const CommandRow& row : commandTable()) {
        const bool on = states.isEnabled(row.command);
        for (QAction* action : actionsOf(row.command))
            action->setEnabled(on);
    }
    for (size_t b = 0; b < kLauncherButtonCount; ++b)
        launcherActions_[b]->setEnabled(states.isLauncherEnabled(static_cast<LauncherButton>(b)));
}

void CommandDispatcher::fillPopup(const PopupMenuModel& model, std::function<void(int)> onChosen)
{
    onPopupChosen_ = std::move(onChosen);
    for (int i = 0; i < kPopupItems; ++i) {
        QAction* item = popupItem(i);
        const std::string& text = model.caption(i);
        const bool separator = text == "-";
        item->setSeparator(separator);
        item->setText(separator ? QString() : QString::fromStdString(text));
        item->setVisible(model.isVisible(i));
    }
}

void CommandDispatcher::showPopup(const QPoint& globalPos)
{
    popup_->popup(globalPos);
}

void CommandDispatcher::popupChosen(int index)
{
    if (!onPopupChosen_)
        return;
    MessageBatch batch(messages_);
    onPopupChosen_(index);
}

} // namespace quillory
