// The catalog window's folder tree: loading, selection, rename in place, drag and drop.
#include "ui/catalog_window/CatalogWindow.h"

#include <QApplication>
#include <unordered_set>

#include "core/CoreContext.h"
#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

void CatalogWindow::connectTree()
{
    connect(dirTreeView, &FolderTreeView::nodePressed, this, [this](QTreeWidgetItem* node) { dirTreeView_NodeClick(node); });
    connect(dirTreeView, &QTreeWidget::currentItemChanged, this, [this] {
        // Mouse presses are handled on press; this follows the keyboard, and the highlight moving
        // off a folder that went.
        if (QApplication::mouseButtons() == Qt::NoButton)
            followTreeHighlight();
    });
    connect(dirTreeView, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* closed) {
        // A folder closed over the current one would hide the highlight inside it: the folder
        // closed becomes the highlighted and current one, so that what the user sees highlighted
        // is still what the commands act on.
        QTreeWidgetItem* current = dirTreeView->node(qs(currentDirId()));
        for (QTreeWidgetItem* above = current ? current->parent() : nullptr; above; above = above->parent()) {
            if (above == closed) {
                dirTreeView->setCurrentItem(closed);
                followTreeHighlight();
                return;
            }
        }
    });
    connect(dirTreeView, &FolderTreeView::contextRequested, this,
            [this](QTreeWidgetItem* node, const QPoint& pos) {
                showPopupMenu(node ? PopupContext::FolderNode : PopupContext::TreeSpace, pos);
            });
    connect(dirTreeView, &FolderTreeView::deletePressed, this, [this] { commands_.run(Command::DeleteFolder); });
    connect(dirTreeView, &FolderTreeView::labelEdited, this, &CatalogWindow::onTreeLabelEdited);
    connect(dirTreeView, &FolderTreeView::folderDropped, this, &CatalogWindow::onFolderDropped);
    connect(dirTreeView, &FolderTreeView::indexesDropped, this, &CatalogWindow::onIndexesDropped);
}

void CatalogWindow::loadDirTree()
{
    dirTreeView->setEditTriggers(QAbstractItemView::SelectedClicked);
    StoreProblems problems;
    const FolderChildren children = core_.store.getFolderChildren(problems);
    report(core_.messages, problems);
    states().applyLoadStates();
    const auto top = children.find(std::string(kTopLevelParentId));
    if (top == children.end())
        return;
    const std::vector<std::string> cut = addDirNodes(top->second, children);
    if (!cut.empty()) {
        const auto first = core_.store.getQlrDirById(cut.front(), problems);
        const std::string name = first ? shownText(first->dirName, 200) : cut.front();
        core_.messages.show("Err013", MsgButtons::Ok,
                            cut.size() == 1 ? name : name + " … (" + std::to_string(cut.size()) + ")");
    }
}

std::vector<std::string> CatalogWindow::addDirNodes(const std::vector<std::shared_ptr<FolderRecord>>& folders,
                                                    const FolderChildren& children)
{
    if (folders.empty())
        return {};
    // Level by level within each branch: the folders given, then the children of each in turn.
    // The walk goes down from nodes that exist only, so a damaged file whose parents form a
    // cycle cannot make it run forever; and no deeper than the tree can show.
    struct Batch {
        const std::vector<std::shared_ptr<FolderRecord>>* folders;
        int depth;
    };
    const std::string& firstParent = folders.front()->parentDirId;
    const int firstDepth = firstParent == kTopLevelParentId ? 1 : dirTreeView->depthOf(qs(firstParent)) + 1;
    std::vector<Batch> pending{{&folders, firstDepth}};
    std::unordered_set<std::string> walked;
    std::vector<std::string> cut; // the folders left out, with everything below them
    while (!pending.empty()) {
        const Batch batch = pending.back();
        pending.pop_back();
        if (batch.depth > kMaxShownDepth) {
            for (const auto& folder : *batch.folders)
                collectSubtree(folder->dirId, children, cut);
            continue;
        }
        for (const auto& folder : *batch.folders) {
            dirTreeView->addNode(qs(folder->dirId), qs(folder->parentDirId), qs(shownText(folder->dirName)));
            if (folder->parentDirId == kTopLevelParentId && currentDirId().empty())
                setCurrentDir(folder->dirId);
        }
        // Children of the last folder are walked last: push in reverse.
        for (auto it = batch.folders->rbegin(); it != batch.folders->rend(); ++it) {
            const auto& folder = *it;
            const auto found = children.find(folder->dirId);
            if (found != children.end() && dirTreeView->hasNode(qs(folder->dirId)) && walked.insert(folder->dirId).second)
                pending.push_back({&found->second, batch.depth + 1});
        }
    }
    if (!dirTreeView->currentItem()) {
        if (QTreeWidgetItem* current = dirTreeView->node(qs(currentDirId()))) {
            const QSignalBlocker quiet(dirTreeView);
            dirTreeView->setCurrentItem(current);
        }
    }
    return cut;
}

void CatalogWindow::collectSubtree(const std::string& dirId, const FolderChildren& children, std::vector<std::string>& into)
{
    std::unordered_set<std::string> seen;
    std::vector<std::string> pending{dirId};
    while (!pending.empty()) {
        std::string id = std::move(pending.back());
        pending.pop_back();
        if (!seen.insert(id).second)
            continue;
        if (const auto found = children.find(id); found != children.end())
            for (const auto& child : found->second)
                pending.push_back(child->dirId);
        into.push_back(std::move(id));
    }
}

void CatalogWindow::setNodeText(const std::string& dirId, const std::string& text)
{
    dirTreeView->setNodeText(qs(dirId), qs(shownText(text)));
}

void CatalogWindow::followTreeHighlight()
{
    QTreeWidgetItem* node = dirTreeView->currentItem();
    if (node) {
        if (dirTreeView->keyOf(node).toStdString() != currentDirId())
            dirTreeView_NodeClick(node);
        return;
    }
    // Nothing is highlighted (the last folder went): nothing is current, and the list is empty.
    if (currentDirId().empty())
        return;
    setCurrentDir("");
    ListView->clearRows();
    listedFolder_.clear();
}

void CatalogWindow::highlightCurrentDir()
{
    QTreeWidgetItem* node = dirTreeView->node(qs(currentDirId()));
    if (dirTreeView->currentItem() == node)
        return;
    const QSignalBlocker quiet(dirTreeView);
    dirTreeView->setCurrentItem(node);
    if (!node)
        dirTreeView->clearSelection();
}

void CatalogWindow::dirTreeView_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    MessageBatch batch(core_.messages);
    // The list is to show this folder, not the results of a search still reading documents.
    searchPanel->folderChosen();
    setCurrentDir(dirTreeView->keyOf(node).toStdString());
    initListView();
    refreshContentList();
}

void CatalogWindow::mnuDRename_Click()
{
    QTreeWidgetItem* node = dirTreeView->currentItem();
    if (!node)
        node = dirTreeView->node(qs(currentDirId()));
    if (!node)
        return;
    dirTreeView->setCurrentItem(node);
    // Only this edit starts by command; clicks start renames again once it ends.
    dirTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dirTreeView->editItem(node);
}

void CatalogWindow::onTreeLabelEdited(QTreeWidgetItem* node, const QString& text)
{
    MessageBatch batch(core_.messages);
    // The folder whose label was edited is renamed.
    const std::string dirId = dirTreeView->keyOf(node).toStdString();
    StoreProblems problems;
    const auto folder = core_.store.getQlrDirById(dirId, problems);
    report(core_.messages, problems);
    if (!folder)
        return;
    if (!renameFolder(core_.store, core_.messages, dirId, text.toStdString()))
        setNodeText(dirId, folder->dirName); // refused (empty) or not written: show the stored name
}

void CatalogWindow::onFolderDropped(const QString& folderId, QTreeWidgetItem* target)
{
    MessageBatch batch(core_.messages);
    const QString targetKey = dirTreeView->keyOf(target);
    if (target && targetKey == folderId)
        return;
    const std::string newParent = target ? targetKey.toStdString() : "0";
    moveFolder(core_.store, core_.messages, folderId.toStdString(), newParent); // the tree follows the folder file
}

void CatalogWindow::onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target)
{
    MessageBatch batch(core_.messages);
    const std::string targetId = dirTreeView->keyOf(target).toStdString();
    if (targetId.empty())
        return;
    DraggedIndexes dragged;
    StoreProblems problems;
    for (const QString& id : indexIds) {
        const std::string cId = id.toStdString();
        const std::string sourceId = folderOfIndexId(cId);
        auto index = core_.store.getQlrDirContentById(sourceId, cId, problems);
        if (!index)
            continue;
        if (dragged.empty() || dragged.back().first != sourceId) {
            auto same = std::find_if(dragged.begin(), dragged.end(), [&](const auto& entry) { return entry.first == sourceId; });
            if (same == dragged.end()) {
                dragged.push_back({sourceId, {}});
                same = std::prev(dragged.end());
            }
            same->second.push_back(index);
        } else {
            dragged.back().second.push_back(index);
        }
    }
    report(core_.messages, problems);
    if (!moveIndexes(core_.store, core_.messages, dragged, targetId))
        return;
    {
        const QSignalBlocker quiet(dirTreeView);
        dirTreeView->setCurrentItem(target);
    }
    dirTreeView_NodeClick(target);
}

} // namespace quillory
