// The monitor and the disk: the identities of the documents and folders, and after lost events,
// what the disk says instead of the events.
#include <unordered_map>

#include "core/base/Paths.h"
#include "core/monitor/ChangeMonitor.h"

namespace quillory {

namespace {

struct IdentityHash {
    size_t operator()(const FileIdentity& id) const { return std::hash<uint64_t>{}(id.inode * 31 + id.device); }
};

} // namespace

bool ChangeMonitor::rememberIdentities(const std::atomic<bool>* stop)
{
    const auto stopped = [&] {
        if (!stop || !stop->load(std::memory_order_relaxed))
            return false;
        identities_.clear(); // not known: as if never asked
        return true;
    };
    identities_.assign(documents_.size(), FileIdentity{});
    for (Slot slot = 0; slot < documents_.size(); ++slot) {
        if (stopped())
            return false;
        if (documents_[slot].used && !documents_[slot].gone)
            identities_[slot] = disk_.identify(currentPath(documents_[slot]));
    }
    for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root())) {
        if (stopped())
            return false;
        tree_.setIdentity(folder, disk_.identify(tree_.pathOf(folder)));
    }
    identitiesKnown_ = true;
    return true;
}

void ChangeMonitor::setIdentity(Slot slot, FileIdentity identity)
{
    if (slot >= identities_.size())
        identities_.resize(documents_.size());
    identities_[slot] = identity;
}

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
        const RecentDepartures::Departure* left = departures_.of(slot);
        if (found != whereIs.end()) {
            moveDocument(slot, found->second.first, found->second.second, dropped);
        } else if (left && disk_.exists(joinPath(tree_.pathOf(left->folder), left->name))) {
            const RecentDepartures::Departure back = *left;
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
