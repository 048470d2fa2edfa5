#pragma once

#include <QString>
#include <QToolBar>

class QAction;

namespace quillory {

class CommandDispatcher;
class SysConf;

// The frame's picture toolbar, laid out by the command table with the dispatcher's actions.
// Each button shows its normal image, its hover image while the pointer is over it and its
// disabled image while its command is off; Qt switches between the three looks itself. New and
// Open show without a catalog, the catalog buttons with one.
class FrameToolbar : public QToolBar {
public:
    // imageFolder: the folder holding "<name>-N.gif" and its siblings.
    FrameToolbar(QString imageFolder, CommandDispatcher& commands, QWidget* parent);

    // Path of an image of the image folder; extension ".gif" unless given.
    QString getImagePath(const QString& name, const QString& extension = QString()) const;

    void showStartToolbar(const SysConf& conf);
    void showCatalogToolbar(const SysConf& conf);

private:
    void applyTooltips(const SysConf& conf);
    void showButtons(bool catalog);

    QString imageFolder_;
    CommandDispatcher& commands_;
};

} // namespace quillory
