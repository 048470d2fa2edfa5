// The catalog window follows the store: whatever writes a catalog file (an edit here, a panel,
// the synchronisation), the tree and the list show what is now stored.
#include "ui/catalog_window/CatalogWindow.h"

#include <QScopedValueRollback>
#include <QTimer>

#include "core/CoreContext.h"
#include "core/catalog_window/IndexRows.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/platform/FileTypes.h"
#include "ui/platform/QtText.h"

namespace quillory {

void CatalogWindow::onStoreChanged(const StoreChange& change)
{
    switch (change.kind) {
    case StoreChange::Kind::FolderFile:
        folderFileChanged_ = true;
        break;
    case StoreChange::Kind::IndexFile:
        changedIndexFiles_.insert(change.dirId);
        break;
    case StoreChange::Kind::CachesDropped:
        return; // the window is going, or reads the catalog anew
    }
    // Followed once the change's own command is done (and an editor has let go of its row),
    // and once for any number of files a command writes.
    if (!refreshPending_) {
        refreshPending_ = true;
        QTimer::singleShot(0, this, &CatalogWindow::refreshViews);
    }
}

void CatalogWindow::refreshViews()
{
    refreshPending_ = false;
    if (unloaded_)
        return;
    // Run from the event loop, after the command that wrote: what reading again comes upon is
    // told as an action of its own, or with the action under way.
    MessageBatch batch(core_.messages);
    const bool folders = std::exchange(folderFileChanged_, false);
    const std::set<std::string> indexFiles = std::exchange(changedIndexFiles_, {});
    if (folders)
        refreshTree();
    if (folders || !indexFiles.empty())
        refreshIndexList(indexFiles, folders);
}

void CatalogWindow::refreshTree()
{
    StoreProblems problems;
    const auto all = core_.store.getAllDirMap(problems);
    for (const QString& key : dirTreeView->keys()) {
        if (!all->contains(key.toStdString()))
            dirTreeView->removeNode(key);
    }
    all->forEach([this](const std::string& id, const std::shared_ptr<FolderRecord>& folder) {
        QTreeWidgetItem* node = dirTreeView->node(qs(id));
        if (!node)
            return;
        if (node->text(0) != qs(shownText(folder->dirName)))
            setNodeText(id, folder->dirName);
        const QString parentKey = node->parent() ? dirTreeView->keyOf(node->parent()) : QStringLiteral("0");
        if (parentKey != qs(folder->parentDirId))
            dirTreeView->moveNode(qs(id), qs(folder->parentDirId));
    });
    // Folders that have no node yet.
    const FolderChildren children = core_.store.getFolderChildren(problems);
    report(core_.messages, problems);
    if (const auto top = children.find(std::string(kTopLevelParentId)); top != children.end())
        addDirNodes(top->second, children);
    // When the highlighted folder went, the highlight moved to a folder beside it (or its
    // parent), and that folder is current from now on.
    followTreeHighlight();
    showAddedFolder();
}

void CatalogWindow::refreshIndexList(const std::set<std::string>& changedFolders, bool folderNamesChanged)
{
    std::vector<std::shared_ptr<IndexRecord>> added;
    StoreProblems problems;
    // Rows going move the list's current row; that move is not the user's.
    const QScopedValueRollback following(followingStore_, true);
    for (const std::string& dirId : changedFolders) {
        const auto map = core_.store.getDirContentMap(dirId, problems);
        for (const QString& key : ListView->keysOfFolder(qs(dirId))) {
            if (!map->contains(key.toStdString()))
                ListView->removeRow(key);
        }
        map->forEach([&](const std::string& id, const IndexMap::Ptr& index) {
            const int row = ListView->rows().rowOfKey(id);
            if (row >= 0 && ListView->rows().recordAt(row) == index) {
                ListView->rows().refreshRow(row);
                return;
            }
            // A record read anew (another program changed the file) takes its row's place at the end.
            if (row >= 0)
                ListView->removeRow(qs(id));
            if (row >= 0 || dirId == listedFolder_)
                added.push_back(index);
        });
    }
    report(core_.messages, problems);
    if (folderNamesChanged)
        ListView->rows().refreshAll(); // the folder names the rows show
    ListView->appendRows(added);
    // A row that went takes the current index with it: no other row becomes current for it.
    if (!ListView->hasRow(qs(currentContentId()))) {
        if (!currentContentId().empty())
            setCurrentContent("");
        ListView->selectionModel()->clear();
    }
    chooseAddedIndex();
}

} // namespace quillory
