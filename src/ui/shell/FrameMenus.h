#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace quillory {

class SysConf;

// The frame's menu bar built from the menu table: both menu sets (without and with a catalog),
// one action per entry found by its name, and the hidden context menu of nineteen entries.
class FrameMenus : public QObject {
public:
    static constexpr int kPopupItems = 19;

    FrameMenus(QMenuBar* bar, QObject* parent);

    QAction* action(const QString& name) const { return actions_.value(name); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    QMenu* popupMenu() const { return popup_; }
    QAction* popupItem(int index) const { return popupItems_[static_cast<size_t>(index)]; }

    // Sets the captions of the named entries (menus or items) from their configuration keys.
    void setCaptions(const SysConf& conf, std::initializer_list<const char*> names);
    // 1: the menus without a catalog; 2: the menus of an open catalog; any other value: nothing.
    void showSet(int mode);
    // Runs handler when the named entry is chosen.
    void onTriggered(const QString& name, std::function<void()> handler);

private:
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QString> captionKeys_;
    QMenu* popup_ = nullptr;
    std::array<QAction*, kPopupItems> popupItems_{};
};

} // namespace quillory
