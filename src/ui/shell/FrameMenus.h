#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

class QAction;
class QMenu;
class QMenuBar;

namespace quillory {

class CommandDispatcher;
class SysConf;

// The frame's menu bar, laid out by the command table: both menu sets (without and with a
// catalog), holding the dispatcher's actions.
class FrameMenus : public QObject {
public:
    // pictures: the folder of the entries' small pictures.
    FrameMenus(QMenuBar* bar, CommandDispatcher& commands, const QString& pictures, QObject* parent);

    // A menu on the bar, a command's entry or a separator, by its name.
    QAction* action(const QString& name) const { return actions_.value(name); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }

    // Sets the captions of the entries shown without a catalog, or of those shown with one.
    void setNoCatalogCaptions(const SysConf& conf);
    void setCatalogCaptions(const SysConf& conf);
    // Shows the menus of an open catalog (each entry with its picture), or those without one.
    // The entries of the hidden set lose their keys while it is hidden.
    void showSet(bool catalog);

private:
    void setCaptions(const SysConf& conf, bool catalogSet);

    QMenuBar* bar_;
    QVector<QMenu*> barOrder_; // the menus of both sets, in their order on the bar
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QString> captionKeys_;
};

} // namespace quillory
