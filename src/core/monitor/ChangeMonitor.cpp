#include "core/monitor/ChangeMonitor.h"

#include <algorithm>

#include "core/base/Paths.h"

namespace quillory {

void WatchChanges::append(WatchChanges&& more)
{
    foldersToWatch.insert(foldersToWatch.end(), std::make_move_iterator(more.foldersToWatch.begin()),
                          std::make_move_iterator(more.foldersToWatch.end()));
    watchesToRemove.insert(watchesToRemove.end(), more.watchesToRemove.begin(), more.watchesToRemove.end());
}

ChangeMonitor::ChangeMonitor(const DiskProbe& disk, Clock clock, std::chrono::milliseconds moveGrace)
    : disk_(disk), clock_(std::move(clock)), pairing_(moveGrace), departures_(tree_)
{}

// ---- the documents followed ----

WatchChanges ChangeMonitor::load(const std::vector<IndexedDocument>& documents)
{
    WatchChanges changes = unload();
    std::vector<FolderNode> added;
    for (const IndexedDocument& document : documents)
        addOne(document, added, false);
    for (std::vector<Slot>& list : documentsIn_) {
        std::stable_sort(list.begin(), list.end(),
                         [this](Slot a, Slot b) { return nameOf(documents_[a]) < nameOf(documents_[b]); });
    }
    changes.append(changesFrom(added, {}));
    return changes;
}

WatchChanges ChangeMonitor::unload()
{
    WatchChanges changes;
    for (const FolderNode folder : tree_.subtree(WatchedFolderTree::root())) {
        if (tree_.watchOf(folder) != kNoWatch)
            changes.watchesToRemove.push_back(tree_.watchOf(folder));
    }
    retiredWatches_.insert(changes.watchesToRemove.begin(), changes.watchesToRemove.end());
    pairing_.flush();
    tree_ = WatchedFolderTree();
    byId_.clear();
    documents_.clear();
    freeSlots_.clear();
    documentsIn_.clear();
    departures_.clear();
    lastParent_.clear();
    identities_.clear();
    identitiesKnown_ = false;
    return changes;
}

void ChangeMonitor::setWatch(const std::string& folder, int watch)
{
    const FolderNode node = tree_.find(plainPath(folder));
    if (node == kNoFolder)
        return;
    tree_.setWatch(node, watch);
    retiredWatches_.erase(watch);
}

WatchChanges ChangeMonitor::addDocument(const IndexedDocument& document)
{
    std::vector<FolderNode> added;
    lastParent_.clear();
    addOne(document, added, true);
    return changesFrom(added, {});
}

WatchChanges ChangeMonitor::removeDocument(const std::string& indexId)
{
    const auto found = byId_.find(indexId);
    if (found == byId_.end())
        return {};
    std::vector<int> dropped;
    removeOne(found->second, dropped);
    return changesFrom({}, std::move(dropped));
}

std::optional<ChangeMonitor::Slot> ChangeMonitor::addOne(const IndexedDocument& document,
                                                         std::vector<FolderNode>& added, bool keepSorted)
{
    const std::string plain = plainPath(document.path);
    if (plain.size() <= 1 || document.indexId.empty() || byId_.count(document.indexId))
        return std::nullopt; // a web address, or a path that names no file
    const std::string_view parentPath = parentPathOf(plain);
    if (tree_.size() == 1 && tree_.watchOf(WatchedFolderTree::root()) == kNoWatch
        && (added.empty() || added.front() != WatchedFolderTree::root()))
        added.push_back(WatchedFolderTree::root()); // "/" too: renaming anything at the top is seen there
    // Documents come folder by folder: the last folder found is most likely the next one's.
    const FolderNode folder = !lastParent_.empty() && parentPath == lastParent_ ? lastFolder_
                                                                                : tree_.ensure(parentPath, added);
    lastParent_ = parentPath;
    lastFolder_ = folder;

    Slot slot;
    if (freeSlots_.empty()) {
        slot = static_cast<Slot>(documents_.size());
        documents_.emplace_back();
    } else {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    Document& doc = documents_[slot];
    doc = Document{document.indexId, document.path, {}, folder, 0, 0, false, true};
    // The name is a whole part of the path as given, even where that is not plain ("/a/./b.txt/").
    const std::string_view name = lastNameOf(plain);
    for (size_t at = doc.loadedPath.rfind(name); at != std::string::npos && at > 0;
         at = doc.loadedPath.rfind(name, at - 1)) {
        const size_t end = at + name.size();
        if (doc.loadedPath[at - 1] == '/' && (end == doc.loadedPath.size() || doc.loadedPath[end] == '/')) {
            doc.loadedNameAt = static_cast<uint32_t>(at);
            doc.loadedNameSize = static_cast<uint32_t>(name.size());
            break;
        }
    }
    byId_.emplace(doc.id, slot);
    tree_.hold(folder);
    std::vector<Slot>& list = documentsIn(folder);
    if (keepSorted) {
        list.insert(std::upper_bound(list.begin(), list.end(), nameOf(doc),
                                     [this](std::string_view name, Slot s) { return name < nameOf(documents_[s]); }),
                    slot);
        if (identitiesKnown_)
            setIdentity(slot, disk_.identify(plain));
    } else {
        list.push_back(slot);
    }
    return slot;
}

void ChangeMonitor::removeOne(Slot slot, std::vector<int>& dropped)
{
    Document& doc = documents_[slot];
    std::vector<Slot>& list = documentsIn(doc.folder);
    list.erase(std::find(list.begin(), list.end(), slot));
    lastParent_.clear(); // the folder may be dropped below
    dropDeparture(slot, dropped);
    tree_.release(doc.folder, dropped);
    pending_.erase(doc.id);
    byId_.erase(doc.id);
    doc = Document{};
    doc.used = false;
    freeSlots_.push_back(slot);
}

// ---- where each document is ----

std::string_view ChangeMonitor::loadedNameOf(const Document& doc) const
{
    return std::string_view(doc.loadedPath).substr(doc.loadedNameAt, doc.loadedNameSize);
}

std::string ChangeMonitor::currentPath(const Document& doc) const
{
    return doc.gone ? std::string() : joinPath(tree_.pathOf(doc.folder), nameOf(doc));
}

std::vector<ChangeMonitor::Slot>& ChangeMonitor::documentsIn(FolderNode node)
{
    if (node >= documentsIn_.size())
        documentsIn_.resize(node + 1);
    return documentsIn_[node];
}

std::vector<ChangeMonitor::Slot> ChangeMonitor::documentsAt(FolderNode folder, std::string_view name) const
{
    std::vector<Slot> found;
    if (folder >= documentsIn_.size())
        return found;
    const std::vector<Slot>& list = documentsIn_[folder];
    auto at = std::lower_bound(list.begin(), list.end(), name,
                               [this](Slot s, std::string_view n) { return nameOf(documents_[s]) < n; });
    for (; at != list.end() && nameOf(documents_[*at]) == name; ++at) {
        if (!documents_[*at].gone)
            found.push_back(*at);
    }
    return found;
}

void ChangeMonitor::place(Slot slot, FolderNode folder, std::string name, bool gone, std::vector<int>& dropped)
{
    Document& doc = documents_[slot];
    const FolderNode oldFolder = doc.folder;
    tree_.hold(folder); // before anything is released, so that no folder still needed is dropped
    if (folder != oldFolder || name != nameOf(doc)) {
        std::vector<Slot>& oldList = documentsIn(oldFolder);
        oldList.erase(std::find(oldList.begin(), oldList.end(), slot));
        doc.folder = folder;
        if (name == loadedNameOf(doc))
            doc.name = std::string();
        else
            doc.name = std::move(name);
        std::vector<Slot>& list = documentsIn(folder);
        list.insert(std::upper_bound(list.begin(), list.end(), nameOf(doc),
                                     [this](std::string_view n, Slot s) { return n < nameOf(documents_[s]); }),
                    slot);
    }
    doc.gone = gone;
    lastParent_.clear();
    const RecentDepartures::Departure* left = departures_.of(slot);
    if (!gone && left && left->folder == folder && left->name == nameOf(doc))
        dropDeparture(slot, dropped);
    tree_.release(oldFolder, dropped);
}

void ChangeMonitor::moveDocument(Slot slot, FolderNode folder, const std::string& name, std::vector<int>& dropped)
{
    tree_.hold(folder); // the place it leaves may be all that kept folder
    noteDeparture(slot, dropped);
    place(slot, folder, name, false, dropped);
    tree_.release(folder, dropped);
}

void ChangeMonitor::noteDeparture(Slot slot, std::vector<int>& dropped)
{
    const Document& doc = documents_[slot];
    if (doc.gone)
        return;
    departures_.note(slot, doc.folder, std::string(nameOf(doc)), clock_(), dropped);
    lastParent_.clear();
}

void ChangeMonitor::dropDeparture(Slot slot, std::vector<int>& dropped)
{
    if (departures_.drop(slot, dropped))
        lastParent_.clear(); // its folder may be gone from the tree
}

void ChangeMonitor::expireDepartures(std::vector<int>& dropped)
{
    if (departures_.expire(clock_(), dropped))
        lastParent_.clear();
}

void ChangeMonitor::record(Slot slot)
{
    const Document& doc = documents_[slot];
    const std::string current = currentPath(doc);
    // Back where it was indexed, with nothing written about it yet: there is nothing to tell.
    if (!doc.gone && current == plainPath(doc.loadedPath) && !written_.count(doc.id))
        pending_.erase(doc.id);
    else
        pending_.put(PendingChange{doc.id, doc.loadedPath, current});
}

WatchChanges ChangeMonitor::changesFrom(const std::vector<FolderNode>& added, std::vector<int>&& dropped)
{
    WatchChanges changes;
    for (const FolderNode folder : added)
        changes.foldersToWatch.push_back(tree_.pathOf(folder));
    retiredWatches_.insert(dropped.begin(), dropped.end());
    changes.watchesToRemove = std::move(dropped);
    return changes;
}

// ---- what others ask ----

std::string ChangeMonitor::findMonitorEntry(std::string_view path) const
{
    const std::string plain = plainPath(path);
    const FolderNode parent = tree_.find(parentPathOf(plain));
    if (parent == kNoFolder || plain.size() <= 1)
        return {};
    const std::vector<Slot> docs = documentsAt(parent, lastNameOf(plain));
    if (docs.empty())
        return {};
    const Document& first = documents_[*std::min_element(docs.begin(), docs.end())];
    return first.id + '|' + currentPath(first);
}

std::optional<std::string> ChangeMonitor::loadedPathOf(const std::string& indexId) const
{
    const auto found = byId_.find(indexId);
    return found == byId_.end() ? std::nullopt : std::optional(documents_[found->second].loadedPath);
}

std::optional<std::string> ChangeMonitor::currentPathOf(const std::string& indexId) const
{
    const auto found = byId_.find(indexId);
    return found == byId_.end() ? std::nullopt : std::optional(currentPath(documents_[found->second]));
}

bool ChangeMonitor::writePendingRecords(PendingChangeSink& sink)
{
    if (pending_.empty())
        return true;
    const std::vector<PendingChange> records = pending_.inOrder();
    if (!sink.appendPendingChanges(records))
        return false;
    for (const PendingChange& change : records)
        written_.insert(change.indexId);
    pending_.clear();
    return true;
}

} // namespace quillory
