#include "ui/shell/FrameMenus.h"

#include <QAction>
#include <algorithm>
#include <QMenu>
#include <QMenuBar>

#include "core/config/SysConf.h"
#include "core/shell/MenuTable.h"

namespace quillory {

namespace {
QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

FrameMenus::FrameMenus(QMenuBar* bar, QObject* parent) : QObject(parent)
{
    for (const MenuEntry& entry : menuTable()) {
        const QString name = qs(entry.name);
        captionKeys_.insert(name, qs(entry.captionKey));
        if (entry.parent.empty()) {
            QMenu* menu = bar->addMenu(qs(entry.designText));
            menu->setObjectName(name);
            menus_.insert(name, menu);
            actions_.insert(name, menu->menuAction());
            continue;
        }
        QMenu* parentMenu = menus_.value(qs(entry.parent));
        QAction* action = entry.captionKey == "-" ? parentMenu->addSeparator() : parentMenu->addAction(qs(entry.designText));
        action->setObjectName(name);
        if (!entry.shortcut.empty()) {
            action->setShortcut(QKeySequence(qs(entry.shortcut)));
        }
        actions_.insert(name, action);
    }
    popup_ = new QMenu(bar);
    popup_->setObjectName(QStringLiteral("mnuPopmenu"));
    for (int i = 0; i < kPopupItems; ++i) {
        QAction* item = popup_->addAction(QStringLiteral("mnuPop%1").arg(i));
        item->setObjectName(QStringLiteral("mnuPop%1").arg(i));
        popupItems_[static_cast<size_t>(i)] = item;
    }
}

void FrameMenus::setCaptions(const SysConf& conf, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QString key = captionKeys_.value(QString::fromLatin1(name));
        if (QAction* action = actions_.value(QString::fromLatin1(name)); action && !key.isEmpty())
            action->setText(QString::fromStdString(conf.text(key.toStdString())));
    }
}

void FrameMenus::showSet(int mode)
{
    if (mode != 1 && mode != 2)
        return;
    const auto& shown = mode == 1 ? noCatalogMenus() : catalogMenus();
    for (auto it = menus_.constBegin(); it != menus_.constEnd(); ++it) {
        const bool visible = std::find(shown.begin(), shown.end(), it.key().toStdString()) != shown.end();
        it.value()->menuAction()->setVisible(visible);
    }
}

void FrameMenus::onTriggered(const QString& name, std::function<void()> handler)
{
    if (QAction* action = actions_.value(name))
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

} // namespace quillory
