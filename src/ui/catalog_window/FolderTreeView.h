#pragma once

#include <QHash>
#include <QPointer>
#include <QTreeWidget>

class QKeyEvent;

namespace quillory {

// The folder tree: one node per folder, found by folder id. It reports presses, in-place
// renames, the Delete key and drops to the catalog window, which applies them to the catalog.
// Folders are dragged from here; indexes are dragged in from the list.
class FolderTreeView : public QTreeWidget {
    Q_OBJECT
public:
    static inline const QString kFolderMime = QStringLiteral("application/x-quillory-folder");
    static inline const QString kIndexesMime = QStringLiteral("application/x-quillory-indexes");

    explicit FolderTreeView(QWidget* parent);

    QTreeWidgetItem* node(const QString& key) const { return nodes_.value(key); }
    QString keyOf(const QTreeWidgetItem* item) const;
    bool hasNode(const QString& key) const { return nodes_.contains(key); }
    int nodeCount() const { return nodes_.size(); }
    QStringList keys() const { return nodes_.keys(); }
    // How deep the node lies: 1 at the top level, 0 for a key without node.
    int depthOf(const QString& key) const;

    // Adds a node under parentKey ("0" for the top level). False (nothing added) for a key
    // that has a node already or a parent that has none.
    QTreeWidgetItem* addNode(const QString& key, const QString& parentKey, const QString& text);
    // Between these two, new top-level nodes (with all that is added under them) wait outside
    // the tree and join it together at the end: a node added under a node outside the tree
    // costs the view nothing, so a whole catalog's tree fills at once. Room is made for about
    // `coming` more nodes.
    void beginFill(qsizetype coming);
    void endFill();
    // Removes the node and its subtree.
    void removeNode(const QString& key);
    // Moves a node with its subtree under newParentKey ("0": the top level); never under the
    // node itself or one of its own descendants.
    void moveNode(const QString& key, const QString& newParentKey);
    void setNodeText(const QString& key, const QString& text);

    QTreeWidgetItem* dropHighlight() const { return dropHighlight_; }
    QTreeWidgetItem* lastDropNode() const { return lastDropNode_; }
    // Forgets everything of the drag before: every drag starts clean.
    void resetDragState();
    // Renames start with a click on the selected node (again, after a rename by command).
    void restoreClickToRename() { setEditTriggers(QAbstractItemView::SelectedClicked); }

signals:
    void nodePressed(QTreeWidgetItem* item);
    void contextRequested(QTreeWidgetItem* item, const QPoint& globalPos);
    void deletePressed();
    void labelEdited(QTreeWidgetItem* item, const QString& text);
    // target: the node dropped on, or null for empty space.
    void folderDropped(const QString& folderId, QTreeWidgetItem* target);
    // target: the last node the drag passed over.
    void indexesDropped(const QStringList& indexIds, QTreeWidgetItem* target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Shift+F10 or the Menu key: the menu of the highlighted folder, beside it.
    void requestMenuFromKeyboard();
    void setDropHighlight(QTreeWidgetItem* item);
    void forgetSubtree(QTreeWidgetItem* item);
    // Whether the folder being dragged may go into target (not into itself or below itself).
    bool acceptsFolderDrop(const QMimeData* mime, QTreeWidgetItem* target) const;

    QHash<QString, QTreeWidgetItem*> nodes_;
    bool filling_ = false;
    QList<QTreeWidgetItem*> waitingTopLevel_; // added while filling
    QIcon folderIcon_;                        // made once: a theme lookup per node would slow large trees down
    QTreeWidgetItem* dropHighlight_ = nullptr;
    QTreeWidgetItem* lastDropNode_ = nullptr;
    const QMimeData* dragMime_ = nullptr; // the drag the state belongs to
    bool settingUp_ = false;
};

} // namespace quillory
