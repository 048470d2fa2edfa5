#include "ui/shell/FrameMenus.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "core/config/SysConf.h"
#include "core/shell/CommandTable.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/LazyIcon.h"

namespace quillory {

namespace {
bool contains(const std::vector<std::string_view>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}
} // namespace

FrameMenus::FrameMenus(QMenuBar* bar, CommandDispatcher& commands, const QString& pictures, QObject* parent)
    : QObject(parent), bar_(bar)
{
    for (const MenuEntry& entry : menuLayout()) {
        const QString name = qs(entry.name);
        captionKeys_.insert(name, qs(entry.captionKey));
        if (entry.parent.empty()) {
            QMenu* menu = bar->addMenu(qs(entry.designText));
            menu->setObjectName(name);
            menus_.insert(name, menu);
            barOrder_.append(menu);
            actions_.insert(name, menu->menuAction());
            continue;
        }
        QMenu* parentMenu = menus_.value(qs(entry.parent));
        QAction* action = nullptr;
        if (entry.command) {
            action = commands.action(name);
            if (!entry.picture.empty())
                action->setIcon(lazyFileIcon(
                    {{QIcon::Normal, pictures + QLatin1Char('/') + qs(entry.picture) + QStringLiteral(".png")}}));
            parentMenu->addAction(action);
        } else {
            action = parentMenu->addSeparator();
            action->setObjectName(name);
        }
        actions_.insert(name, action);
    }
}

void FrameMenus::setCaptions(const SysConf& conf, bool catalogSet)
{
    const auto& shown = catalogSet ? catalogMenus() : noCatalogMenus();
    for (const MenuEntry& entry : menuLayout()) {
        const bool inSet = contains(shown, entry.parent.empty() ? entry.name : entry.parent);
        if (!inSet || entry.captionKey == "-")
            continue;
        if (QAction* action = actions_.value(qs(entry.name)))
            action->setText(QString::fromStdString(conf.text(std::string(entry.captionKey))));
    }
}

void FrameMenus::setNoCatalogCaptions(const SysConf& conf)
{
    setCaptions(conf, false);
}

void FrameMenus::setCatalogCaptions(const SysConf& conf)
{
    setCaptions(conf, true);
}

void FrameMenus::showSet(bool catalog)
{
    const auto& shown = catalog ? catalogMenus() : noCatalogMenus();
    // A hidden menu leaves the bar: its Alt+letter would otherwise compete with the shown menu of
    // the same letter (both sets have a File menu), and every other press would go to the hidden
    // one.
    QAction* before = nullptr;
    for (auto it = barOrder_.crbegin(); it != barOrder_.crend(); ++it) {
        QAction* item = (*it)->menuAction();
        const bool show = contains(shown, (*it)->objectName().toStdString());
        item->setVisible(show);
        if (!show) {
            bar_->removeAction(item);
            continue;
        }
        if (!bar_->actions().contains(item))
            bar_->insertAction(before, item);
        before = item;
    }
    // The keys of a hidden menu's entries would still act: only the shown set has them.
    for (const MenuEntry& entry : menuLayout()) {
        if (entry.parent.empty() || entry.shortcut.empty())
            continue;
        if (QAction* action = actions_.value(qs(entry.name)))
            action->setShortcut(contains(shown, entry.parent) ? QKeySequence(qs(entry.shortcut)) : QKeySequence());
    }
}

} // namespace quillory
