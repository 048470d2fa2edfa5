#pragma once

#include <QHash>
#include <QString>
#include <QToolBar>
#include <functional>

class QAction;

namespace quillory {

class SysConf;

// The frame's picture toolbar. Each button shows its normal image, its hover image while the
// pointer is over it and its disabled image while its command is off; Qt switches between the
// three looks itself. New and Open show without a catalog, the catalog buttons with one.
class FrameToolbar : public QToolBar {
public:
    // imageFolder: the folder holding "<name>-N.gif" and its siblings.
    FrameToolbar(QString imageFolder, QWidget* parent);

    QAction* button(const QString& name) const { return buttons_.value(name); }
    // Path of an image of the image folder; extension ".gif" unless given.
    QString getImagePath(const QString& name, const QString& extension = QString()) const;

    void showStartToolbar(const SysConf& conf);
    void showCatalogToolbar(const SysConf& conf);
    // Called with the command key (or the button name for New and Open) when a button is clicked.
    void setHandler(std::function<void(const QString& name, const QString& commandKey)> handler);

private:
    void applyTooltips(const SysConf& conf);

    QString imageFolder_;
    QHash<QString, QAction*> buttons_;
    std::function<void(const QString&, const QString&)> handler_;
};

} // namespace quillory
