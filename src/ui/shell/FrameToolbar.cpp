#include "ui/shell/FrameToolbar.h"

#include <QAction>
#include <QFile>
#include <QIcon>

#include "core/config/SysConf.h"
#include "core/shell/CommandTable.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/LazyIcon.h"

namespace quillory {

FrameToolbar::FrameToolbar(QString imageFolder, CommandDispatcher& commands, QWidget* parent)
    : QToolBar(parent), imageFolder_(std::move(imageFolder)), commands_(commands)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(50, 78));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    const QString background = getImagePath(QStringLiteral("ToolBarBlack"));
    if (QFile::exists(background))
        setStyleSheet(QStringLiteral("QToolBar#Toolbar1 { border: none; background: #e1e1e1 url(%1) repeat-x top left; "
                                     "spacing: 0px; padding: 0px; }"
                                     "QToolBar#Toolbar1 QToolButton { border: none; padding: 0px; margin: 0px; }")
                          .arg(background));

    for (const ToolbarSlot& slot : toolbarLayout()) {
        const CommandRow& row = commandRow(slot.command);
        const QString base = qs(row.image);
        QList<std::pair<QIcon::Mode, QString>> pictures{{QIcon::Normal, getImagePath(base + QStringLiteral("-N"))},
                                                        {QIcon::Active, getImagePath(base + QStringLiteral("-H"))}};
        const QString disabled = getImagePath(base + QStringLiteral("-D"));
        if (row.hasDisabledImage && QFile::exists(disabled))
            pictures.append({QIcon::Disabled, disabled});
        QAction* button = commands_.toolAction(slot.command);
        button->setIcon(lazyFileIcon(std::move(pictures)));
        addAction(button);
    }
}

QString FrameToolbar::getImagePath(const QString& name, const QString& extension) const
{
    return imageFolder_ + QLatin1Char('/') + name + (extension.isEmpty() ? QStringLiteral(".gif") : extension);
}

void FrameToolbar::applyTooltips(const SysConf& conf)
{
    for (const ToolbarSlot& slot : toolbarLayout()) {
        const std::string caption = conf.text(std::string(commandRow(slot.command).captionKey));
        commands_.toolAction(slot.command)
            ->setToolTip(QString::fromStdString(toolTipFromCaption(caption)).remove(QLatin1Char('&')));
    }
}

void FrameToolbar::showButtons(bool catalog)
{
    for (const ToolbarSlot& slot : toolbarLayout())
        commands_.toolAction(slot.command)->setVisible(slot.catalogButton == catalog);
}

void FrameToolbar::showStartToolbar(const SysConf& conf)
{
    applyTooltips(conf);
    showButtons(false);
}

void FrameToolbar::showCatalogToolbar(const SysConf& conf)
{
    applyTooltips(conf);
    showButtons(true);
}

} // namespace quillory
