#include "ui/shell/FrameToolbar.h"

#include <QAction>
#include <QFile>
#include <QIcon>

#include "core/config/SysConf.h"
#include "core/shell/ToolbarTable.h"

namespace quillory {

namespace {
QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

FrameToolbar::FrameToolbar(QString imageFolder, QWidget* parent)
    : QToolBar(parent), imageFolder_(std::move(imageFolder))
{
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(50, 78));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);
    const QString background = getImagePath(QStringLiteral("ToolBarBlack"));
    if (QFile::exists(background))
        setStyleSheet(QStringLiteral("QToolBar#Toolbar1 { border: none; background: #e1e1e1 url(%1) repeat-x top left; spacing: 0px; padding: 0px; }"
                                     "QToolBar#Toolbar1 QToolButton { border: none; padding: 0px; margin: 0px; }")
                          .arg(background));

    for (const ToolButtonEntry& entry : toolbarTable()) {
        const QString base = qs(entry.imageBase);
        QIcon icon;
        icon.addFile(getImagePath(base + QStringLiteral("-N")), QSize(), QIcon::Normal);
        icon.addFile(getImagePath(base + QStringLiteral("-H")), QSize(), QIcon::Active);
        const QString disabled = getImagePath(base + QStringLiteral("-D"));
        if (QFile::exists(disabled))
            icon.addFile(disabled, QSize(), QIcon::Disabled);
        QAction* action = addAction(icon, QString());
        const QString name = qs(entry.name);
        action->setObjectName(name);
        const QString commandKey = entry.commandKey.empty() ? name : qs(entry.commandKey);
        connect(action, &QAction::triggered, this, [this, name, commandKey] {
            if (handler_)
                handler_(name, commandKey);
        });
        buttons_.insert(name, action);
    }
}

QString FrameToolbar::getImagePath(const QString& name, const QString& extension) const
{
    return imageFolder_ + QLatin1Char('/') + name + (extension.isEmpty() ? QStringLiteral(".gif") : extension);
}

void FrameToolbar::applyTooltips(const SysConf& conf)
{
    for (const ToolButtonEntry& entry : toolbarTable()) {
        const std::string caption = conf.text(std::string(entry.tooltipKey));
        buttons_.value(qs(entry.name))->setToolTip(QString::fromStdString(toolTipFromCaption(caption)).remove(QLatin1Char('&')));
    }
}

void FrameToolbar::showStartToolbar(const SysConf& conf)
{
    applyTooltips(conf);
    for (const ToolButtonEntry& entry : toolbarTable())
        buttons_.value(qs(entry.name))->setVisible(!entry.catalogButton);
}

void FrameToolbar::showCatalogToolbar(const SysConf& conf)
{
    applyTooltips(conf);
    for (const ToolButtonEntry& entry : toolbarTable())
        buttons_.value(qs(entry.name))->setVisible(entry.catalogButton);
}

void FrameToolbar::setHandler(std::function<void(const QString&, const QString&)> handler)
{
    handler_ = std::move(handler);
}

} // namespace quillory
