// The monitor after lost events: what the disk says instead of the events.
#include <unordered_map>

#include "core/base/Paths.h"
#include "core/monitor/ChangeMonitor.h"

namespace quillory {

namespace {

struct IdentityHash {
    size_t operator()(const FileIdentity& id) const { return std::hash<uint64_t>{}(id.inode * 31 + id.device); }
};

} // namespace

WatchChanges ChangeMonitor::compareWithDisk()
{
    std::vector<int> dropped;

    // Folders first, from the top: one renamed in place is found in its parent under its new name.
    for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root())) {
        const FileIdentity known = tree_.identityOf(folder);
        if (folder == WatchedFolderTree::root() || !known || disk_.identify(tree_.pathOf(folder)) == known)
            continue;
        const FolderNode parent = tree_.parentOf(folder);
        for (const FolderEntry& entry : disk_.listFolder(tree_.pathOf(parent))) {
            if (entry.identity == known && entry.name != tree_.nameOf(folder)) {
                if (tree_.move(folder, parent, entry.name, dropped)) {
                    for (const FolderNode below : tree_.subtree(folder)) {
                        for (const Slot slot : std::vector<Slot>(documentsIn(below))) {
                            if (!documents_[slot].gone)
                                record(slot);
                        }
                    }
                }
                break;
            }
        }
    }

    // Then every document not where it was last seen: in a watched folder under a new name, back
    // where it just left, or gone. The watched folders are read only when a document is missing.
    std::unordered_map<FileIdentity, std::pair<FolderNode, std::string>, IdentityHash> whereIs;
    bool listed = false;
    for (Slot slot = 0; slot < documents_.size(); ++slot) {
        const Document& doc = documents_[slot];
        if (!doc.used || (!doc.gone && disk_.exists(currentPath(doc))))
            continue;
        const FileIdentity identity = identityOf(slot);
        if (identity && !listed) {
            for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root())) {
                for (FolderEntry& entry : disk_.listFolder(tree_.pathOf(folder)))
                    whereIs.emplace(entry.identity, std::pair(folder, std::move(entry.name)));
            }
            listed = true;
        }
        const auto found = identity ? whereIs.find(identity) : whereIs.end();
        const auto left = departures_.find(slot);
        if (found != whereIs.end()) {
            moveDocument(slot, found->second.first, found->second.second, dropped);
        } else if (left != departures_.end()
                   && disk_.exists(joinPath(tree_.pathOf(left->second.folder), left->second.name))) {
            const Departure back = left->second;
            place(slot, back.folder, back.name, false, dropped);
        } else if (!doc.gone) {
            noteDeparture(slot, dropped);
            place(slot, doc.folder, std::string(nameOf(doc)), true, dropped);
        } else {
            continue;
        }
        record(slot);
    }
    return changesFrom({}, std::move(dropped));
}

} // namespace quillory
