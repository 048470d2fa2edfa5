// The catalog window's folder tree: loading, selection, rename in place, drag and drop.
#include "ui/catalog_window/MainForm.h"

#include <QApplication>
#include <unordered_set>

#include "core/catalog_window/CatalogEdits.h"
#include "ui/catalog_window/ContentListView.h"
#include "ui/catalog_window/DirTreeView.h"
#include "core/CoreContext.h"
#include "core/store/RecordIds.h"

namespace quillory {

namespace {
QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}
} // namespace

void MainForm::connectTree()
{
    connect(dirTreeView, &DirTreeView::nodePressed, this, [this](QTreeWidgetItem* node) { dirTreeView_NodeClick(node); });
    connect(dirTreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        // Mouse presses are handled on press; this follows the keyboard.
        if (current && QApplication::mouseButtons() == Qt::NoButton
            && dirTreeView->keyOf(current).toStdString() != currentDirId())
            dirTreeView_NodeClick(current);
    });
    connect(dirTreeView, &DirTreeView::contextRequested, this,
            [this](QTreeWidgetItem* node, const QPoint& pos) { showPopupMenu(node ? 1 : 2, pos); });
    connect(dirTreeView, &DirTreeView::deletePressed, this, [this] { mnuDDelete_Click(); });
    connect(dirTreeView, &DirTreeView::labelEdited, this, &MainForm::onTreeLabelEdited);
    connect(dirTreeView, &DirTreeView::folderDropped, this, &MainForm::onFolderDropped);
    connect(dirTreeView, &DirTreeView::indexesDropped, this, &MainForm::onIndexesDropped);
}

void MainForm::loadDirTree()
{
    dirTreeView->setEditTriggers(QAbstractItemView::SelectedClicked);
    const FolderChildren children = core_.store.getFolderChildren();
    states().applyLoadStates();
    const auto top = children.find("0");
    if (top != children.end())
        addDirNodes(top->second, children);
}

void MainForm::addDirNodes(const std::vector<std::shared_ptr<QlrDirModel>>& folders, const FolderChildren& children)
{
    // Level by level within each branch: the folders given, then the children of each in turn.
    // The walk goes down from nodes that exist only, so a damaged file whose parents form a
    // cycle cannot make it run forever.
    std::vector<const std::vector<std::shared_ptr<QlrDirModel>>*> pending{&folders};
    std::unordered_set<std::string> walked;
    while (!pending.empty()) {
        const auto* batch = pending.back();
        pending.pop_back();
        for (const auto& folder : *batch) {
            dirTreeView->addNode(qs(folder->dirId), qs(folder->parentDirId), qs(folder->dirName));
            if (folder->parentDirId == "0" && currentDirId().empty())
                setCurrentDir(folder->dirId);
        }
        // Children of the last folder are walked last: push in reverse.
        for (auto it = batch->rbegin(); it != batch->rend(); ++it) {
            const auto& folder = *it;
            const auto found = children.find(folder->dirId);
            if (found != children.end() && dirTreeView->hasNode(qs(folder->dirId)) && walked.insert(folder->dirId).second)
                pending.push_back(&found->second);
        }
    }
    if (!dirTreeView->currentItem()) {
        if (QTreeWidgetItem* current = dirTreeView->node(qs(currentDirId()))) {
            const QSignalBlocker quiet(dirTreeView);
            dirTreeView->setCurrentItem(current);
        }
    }
}

void MainForm::setNodeText(const std::string& dirId, const std::string& text)
{
    dirTreeView->setNodeText(qs(dirId), qs(text));
}

void MainForm::removeNodeByKey(const std::string& dirId)
{
    dirTreeView->removeNode(qs(dirId));
}

void MainForm::dirTreeView_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    setCurrentDir(dirTreeView->keyOf(node).toStdString());
    initListView();
    refreshContentList();
}

void MainForm::mnuDRename_Click()
{
    QTreeWidgetItem* node = dirTreeView->currentItem();
    if (!node)
        node = dirTreeView->node(qs(currentDirId()));
    if (!node)
        return;
    dirTreeView->setCurrentItem(node);
    dirTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers); // manual until the next load
    dirTreeView->editItem(node);
}

void MainForm::onTreeLabelEdited(QTreeWidgetItem* node, const QString& text)
{
    // The folder whose label was edited is renamed (it may differ from the current folder
    // when a search result of another folder was chosen).
    const std::string dirId = dirTreeView->keyOf(node).toStdString();
    const auto folder = core_.store.getQlrDirById(dirId);
    if (!folder)
        return;
    if (!renameFolder(core_.store, dirId, text.toStdString()))
        setNodeText(dirId, folder->dirName); // refused (empty) or not written: show the stored name
}

void MainForm::onFolderDropped(const QString& folderId, QTreeWidgetItem* target)
{
    const QString targetKey = dirTreeView->keyOf(target);
    if (target && targetKey == folderId)
        return;
    const std::string newParent = target ? targetKey.toStdString() : "0";
    if (moveFolder(core_.store, folderId.toStdString(), newParent) == FolderMove::Moved)
        dirTreeView->moveNode(folderId, qs(newParent));
}

void MainForm::onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target)
{
    const std::string targetId = dirTreeView->keyOf(target).toStdString();
    if (targetId.empty())
        return;
    DraggedIndexes dragged;
    for (const QString& id : indexIds) {
        const std::string cId = id.toStdString();
        const std::string sourceId = folderOfIndexId(cId);
        auto index = core_.store.getQlrDirContentById(sourceId, cId);
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
    if (!moveIndexes(core_.store, dragged, targetId))
        return;
    {
        const QSignalBlocker quiet(dirTreeView);
        dirTreeView->setCurrentItem(target);
    }
    dirTreeView_NodeClick(target);
}

} // namespace quillory
