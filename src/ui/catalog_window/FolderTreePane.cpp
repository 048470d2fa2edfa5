#include "ui/catalog_window/FolderTreePane.h"

#include <QApplication>
#include <QTimer>
#include <unordered_set>

#include "core/CoreContext.h"
#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/platform/QtText.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

FolderTreePane::FolderTreePane(CoreContext& core, CommandDispatcher& commands, QWidget* window)
    : QObject(window), core_(core), commands_(commands), view_(new FolderTreeView(window)),
      storeChanges_(core.store, [this](const StoreChange& change) { onStoreChanged(change); })
{
    connectView();
}

FolderTreePane::~FolderTreePane() = default;

void FolderTreePane::stopFollowing()
{
    storeChanges_.stop();
}

CommandStates& FolderTreePane::states() const
{
    return core_.session.states();
}

const std::string& FolderTreePane::currentDirId() const
{
    return states().currentDirId();
}

void FolderTreePane::setCurrentDir(const std::string& id)
{
    states().setCurrentDir(id);
    highlightCurrentDir();
}

void FolderTreePane::connectView()
{
    connect(view_, &FolderTreeView::nodePressed, this, [this](QTreeWidgetItem* node) { dirTreeView_NodeClick(node); });
    connect(view_, &QTreeWidget::currentItemChanged, this, [this] {
        // Mouse presses are handled on press; this follows the keyboard, and the highlight moving
        // off a folder that went.
        if (QApplication::mouseButtons() == Qt::NoButton)
            followTreeHighlight();
    });
    connect(view_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* closed) {
        // A folder closed over the current one would hide the highlight inside it: the folder
        // closed becomes the highlighted and current one, so that what the user sees highlighted
        // is still what the commands act on.
        QTreeWidgetItem* current = view_->node(qs(currentDirId()));
        for (QTreeWidgetItem* above = current ? current->parent() : nullptr; above; above = above->parent()) {
            if (above == closed) {
                view_->setCurrentItem(closed);
                followTreeHighlight();
                return;
            }
        }
    });
    connect(view_, &FolderTreeView::contextRequested, this, [this](QTreeWidgetItem* node, const QPoint& pos) {
        emit contextMenuRequested(node ? PopupContext::FolderNode : PopupContext::TreeSpace, pos);
    });
    connect(view_, &FolderTreeView::deletePressed, this, [this] { commands_.run(Command::DeleteFolder); });
    connect(view_, &FolderTreeView::labelEdited, this, &FolderTreePane::onTreeLabelEdited);
    connect(view_, &FolderTreeView::folderDropped, this, &FolderTreePane::onFolderDropped);
    connect(view_, &FolderTreeView::indexesDropped, this, &FolderTreePane::onIndexesDropped);
}

void FolderTreePane::loadDirTree()
{
    view_->setEditTriggers(QAbstractItemView::SelectedClicked);
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

std::vector<std::string> FolderTreePane::addDirNodes(const std::vector<std::shared_ptr<FolderRecord>>& folders,
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
    const int firstDepth = firstParent == kTopLevelParentId ? 1 : view_->depthOf(qs(firstParent)) + 1;
    std::vector<Batch> pending{{&folders, firstDepth}};
    std::unordered_set<std::string> walked;
    std::vector<std::string> cut; // the folders left out, with everything below them
    size_t coming = 0;
    for (const auto& [parent, folders] : children)
        coming += folders.size();
    view_->beginFill(static_cast<qsizetype>(coming));
    while (!pending.empty()) {
        const Batch batch = pending.back();
        pending.pop_back();
        if (batch.depth > kMaxShownDepth) {
            for (const auto& folder : *batch.folders)
                collectSubtree(folder->dirId, children, cut);
            continue;
        }
        for (const auto& folder : *batch.folders) {
            view_->addNode(qs(folder->dirId), qs(folder->parentDirId), qs(shownText(folder->dirName)));
            if (folder->parentDirId == kTopLevelParentId && currentDirId().empty())
                setCurrentDir(folder->dirId);
        }
        // Children of the last folder are walked last: push in reverse.
        for (auto it = batch.folders->rbegin(); it != batch.folders->rend(); ++it) {
            const auto& folder = *it;
            const auto found = children.find(folder->dirId);
            if (found != children.end() && view_->hasNode(qs(folder->dirId)) && walked.insert(folder->dirId).second)
                pending.push_back({&found->second, batch.depth + 1});
        }
    }
    view_->endFill();
    if (!view_->currentItem()) {
        if (QTreeWidgetItem* current = view_->node(qs(currentDirId()))) {
            const QSignalBlocker quiet(view_);
            view_->setCurrentItem(current);
        }
    }
    return cut;
}

void FolderTreePane::collectSubtree(const std::string& dirId, const FolderChildren& children,
                                    std::vector<std::string>& into)
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

void FolderTreePane::setNodeText(const std::string& dirId, const std::string& text)
{
    view_->setNodeText(qs(dirId), qs(shownText(text)));
}

void FolderTreePane::followTreeHighlight()
{
    QTreeWidgetItem* node = view_->currentItem();
    if (node) {
        if (view_->keyOf(node).toStdString() != currentDirId())
            dirTreeView_NodeClick(node);
        return;
    }
    // Nothing is highlighted (the last folder went): nothing is current, and the list is empty.
    if (currentDirId().empty())
        return;
    setCurrentDir("");
    emit folderChosen("");
}

void FolderTreePane::highlightCurrentDir()
{
    QTreeWidgetItem* node = view_->node(qs(currentDirId()));
    if (view_->currentItem() == node)
        return;
    const QSignalBlocker quiet(view_);
    view_->setCurrentItem(node);
    if (!node)
        view_->clearSelection();
}

void FolderTreePane::dirTreeView_NodeClick(QTreeWidgetItem* node)
{
    if (!node)
        return;
    MessageBatch batch(core_.messages);
    const std::string dirId = view_->keyOf(node).toStdString();
    setCurrentDir(dirId);
    emit folderChosen(dirId);
}

void FolderTreePane::renameCurrent()
{
    QTreeWidgetItem* node = view_->currentItem();
    if (!node)
        node = view_->node(qs(currentDirId()));
    if (!node)
        return;
    view_->setCurrentItem(node);
    // Only this edit starts by command; clicks start renames again once it ends.
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->editItem(node);
}

void FolderTreePane::showFolder(const std::string& dirId)
{
    QTreeWidgetItem* node = view_->node(qs(dirId));
    folderToShow_ = node ? std::string() : dirId; // shown once the tree has it
    if (!node)
        return;
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    view_->scrollToItem(node);
}

void FolderTreePane::onStoreChanged(const StoreChange& change)
{
    // Followed once the change's own command is done, and once for any number of writes.
    if (change.kind != StoreChange::Kind::FolderFile || refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (!storeChanges_.active())
            return;
        // Run from the event loop: what reading again comes upon is told as an action of its
        // own, or with the action under way.
        MessageBatch batch(core_.messages);
        refreshTree();
    });
}

void FolderTreePane::refreshTree()
{
    StoreProblems problems;
    const auto all = core_.store.getAllDirMap(problems);
    for (const QString& key : view_->keys()) {
        if (!all->contains(key.toStdString()))
            view_->removeNode(key);
    }
    all->forEach([this](const std::string& id, const std::shared_ptr<FolderRecord>& folder) {
        QTreeWidgetItem* node = view_->node(qs(id));
        if (!node)
            return;
        if (node->text(0) != qs(shownText(folder->dirName)))
            setNodeText(id, folder->dirName);
        const QString parentKey = node->parent() ? view_->keyOf(node->parent()) : QStringLiteral("0");
        if (parentKey != qs(folder->parentDirId))
            view_->moveNode(qs(id), qs(folder->parentDirId));
    });
    // Folders that have no node yet.
    const FolderChildren children = core_.store.getFolderChildren(problems);
    report(core_.messages, problems);
    if (const auto top = children.find(std::string(kTopLevelParentId)); top != children.end())
        addDirNodes(top->second, children);
    // When the highlighted folder went, the highlight moved to a folder beside it (or its
    // parent), and that folder is current from now on.
    followTreeHighlight();
    if (!folderToShow_.empty())
        showFolder(folderToShow_);
}

void FolderTreePane::onTreeLabelEdited(QTreeWidgetItem* node, const QString& text)
{
    MessageBatch batch(core_.messages);
    // The folder whose label was edited is renamed.
    const std::string dirId = view_->keyOf(node).toStdString();
    StoreProblems problems;
    const auto folder = core_.store.getQlrDirById(dirId, problems);
    report(core_.messages, problems);
    if (!folder)
        return;
    if (!renameFolder(core_.store, core_.messages, dirId, text.toStdString()))
        setNodeText(dirId, folder->dirName); // refused (empty) or not written: show the stored name
}

void FolderTreePane::onFolderDropped(const QString& folderId, QTreeWidgetItem* target)
{
    MessageBatch batch(core_.messages);
    const QString targetKey = view_->keyOf(target);
    if (target && targetKey == folderId)
        return;
    const std::string newParent = target ? targetKey.toStdString() : "0";
    moveFolder(core_.store, core_.messages, folderId.toStdString(), newParent); // the tree follows the folder file
}

void FolderTreePane::onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target)
{
    MessageBatch batch(core_.messages);
    const std::string targetId = view_->keyOf(target).toStdString();
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
            auto same = std::find_if(dragged.begin(), dragged.end(),
                                     [&](const auto& entry) { return entry.first == sourceId; });
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
        const QSignalBlocker quiet(view_);
        view_->setCurrentItem(target);
    }
    dirTreeView_NodeClick(target);
}

} // namespace quillory
