#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog_window/PopupMenu.h"
#include "core/store/CatalogStore.h"
#include "core/store/StoreSubscription.h"

class QTreeWidgetItem;

namespace quillory {

class CommandDispatcher;
class CommandStates;
class FolderTreeView;
struct CoreContext;

// The catalog window's folder tree: loading it, choosing a folder, renaming in place, dragging
// folders and indexes onto folders, and following the folder file from the store's change
// notices. The current folder is the folder the tree highlights: this pane keeps the two together.
class FolderTreePane : public QObject {
    Q_OBJECT
public:
    FolderTreePane(CoreContext& core, CommandDispatcher& commands, QWidget* window);
    ~FolderTreePane() override;

    FolderTreeView& view() const { return *view_; }

    // Fills the tree from the folder file; the first top-level folder becomes current when none is.
    void loadDirTree();
    // The current folder's node is highlighted (none when there is no current folder).
    void highlightCurrentDir();
    // A click on a folder: it becomes current, and folderChosen tells the window.
    void dirTreeView_NodeClick(QTreeWidgetItem* node);
    // Starts renaming the highlighted folder, as by command.
    void renameCurrent();
    // Brings the folder's node into sight, once the tree has it.
    void showFolder(const std::string& dirId);
    // The window is unloaded: the store is no longer followed.
    void stopFollowing();

signals:
    // The folder became current by the user's choice ("": nothing is current any more).
    void folderChosen(const std::string& dirId);
    void contextMenuRequested(PopupContext context, const QPoint& globalPos);

private:
    void connectView();
    CommandStates& states() const;
    const std::string& currentDirId() const;
    void setCurrentDir(const std::string& id);
    // Adds nodes for folders and, level by level, everything below them that has none yet.
    // Returns the folders too deep to show (they get no node).
    std::vector<std::string> addDirNodes(const std::vector<std::shared_ptr<FolderRecord>>& folders,
                                         const FolderChildren& children);
    static void collectSubtree(const std::string& dirId, const FolderChildren& children,
                               std::vector<std::string>& into);
    void setNodeText(const std::string& dirId, const std::string& text);
    void followTreeHighlight();
    void onStoreChanged(const StoreChange& change);
    // Brings the tree in line with the folder file.
    void refreshTree();
    void onTreeLabelEdited(QTreeWidgetItem* node, const QString& text);
    void onFolderDropped(const QString& folderId, QTreeWidgetItem* target);
    void onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target);

    CoreContext& core_;
    CommandDispatcher& commands_;
    FolderTreeView* view_;
    StoreSubscription storeChanges_;
    bool refreshPending_ = false;
    std::string folderToShow_;
};

} // namespace quillory
